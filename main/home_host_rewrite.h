#pragma once

#include <QString>
#include <optional>

namespace main_window {

// The public web search site that requests for the host "home" go to. The
// program's users read Chinese and browse from networks in mainland China,
// where this is the search site they know and one that is always reachable.
inline constexpr char kHomeSearchHost[] = "www.baidu.com";

// A request URL whose parsed host is exactly "home", rebuilt from its parts
// with `searchHost` as the host (scheme, user, password, port, path, query
// and fragment kept); an empty string when the parts make no valid URL.
// Nothing for a URL that cannot be parsed or has another host ("homes",
// "home.example" and "www.home" stay as they are).
std::optional<QString> RewriteHomeHost(const QString& url, const QString& searchHost);

}  // namespace main_window
