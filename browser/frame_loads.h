#pragma once

#include <QString>
#include <functional>

class QWebEnginePage;

namespace browser {

// Loads of sub-frames, which Qt WebEngine 6.4 does not report once the page
// has loaded. A script in a world of its own, in every frame, watches the
// frame elements of its document (added with an address, given a new one,
// their load event) and its own navigation away when it is a sub-frame, and
// reports each on the console under a random token the pages cannot read.
class TFrameLoads {
  public:
    // started: a sub-frame began loading `url`; else one finished it.
    std::function<void(bool started, const QString& url)> reported;

    void attachTo(QWebEnginePage& page);
    // True when `message` is one of the script's reports (it is handled
    // here and goes no further); a page's own message gives false.
    bool take(const QString& message) const;

  private:
    QString token_;
};

}  // namespace browser
