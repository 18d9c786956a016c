#pragma once

#include <QString>

namespace main_window {

// An address as a browser's address box shows it: path, query and fragment
// with their %-escaped UTF-8 decoded ("城市=北京"), a host in its own script
// where Qt deems that safe, no password. Escapes that stand for delimiters
// or for bytes that are no UTF-8 stay as they are, so the text still reads
// back as the same address. Anything that is not a valid URL, and an address
// whose decoded text would hold invisible or direction-changing characters
// (a page chooses its address), is shown as is.
QString ReadableAddress(const QString& encoded);

}  // namespace main_window
