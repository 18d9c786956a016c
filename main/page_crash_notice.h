#pragma once

#include <QWidget>

namespace browser {
class TChromium;
}

namespace main_window {

// What the page area shows after the page's process died: a short notice
// over the whole area and a button that loads the page again. Gone as soon
// as a page starts loading.
class TPageCrashNotice : public QWidget {
    Q_OBJECT
  public:
    explicit TPageCrashNotice(browser::TChromium& crm);

    // The engine's termination status (0: the process ended normally, which
    // needs no notice).
    void ProcessEnded(int status);
    void PageLoadStarted() { hide(); }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
};

}  // namespace main_window
