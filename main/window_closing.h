#pragma once

#include <QAbstractNativeEventFilter>
#include <QObject>

#include "browser/chromium.h"

namespace main_window {

// How the main window closes. The close itself is always allowed, but first
// a download that has not ended makes the user confirm, and then the page
// has its say (its "beforeunload" handler may keep the window, with what was
// typed into it). Only when the page lets go do the downloads stop and the
// window close. A window that the display destroys by force (an X client's
// DestroyWindow) cannot ask anything: its downloads stop and it closes, so
// the program ends rather than running on without a window.
class TWindowClosing : public QObject, public QAbstractNativeEventFilter {
  public:
    TWindowClosing(QWidget& form, browser::TChromium& crm);
    ~TWindowClosing() override;

    // The window's close query: true when the window closes now; otherwise
    // the questions have begun and the window closes itself if they allow.
    bool CloseQuery();

    bool nativeEventFilter(const QByteArray& eventType, void* message, qintptr* result) override;

  private:
    enum class TState { Open, AskingPage, Closing };

    bool UserLetsDownloadsGo();
    void PageLetGo();
    void CloseNow();
    bool IsDestroyOfForm(void* xcbEvent) const;

    QWidget& form_;
    browser::TChromium& crm_;
    TState state_ = TState::Open;
};

}  // namespace main_window
