#include "main/window_closing.h"

#include <xcb/xcb.h>

#include <QApplication>
#include <QMessageBox>
#include <QWindow>

namespace main_window {

TWindowClosing::TWindowClosing(QWidget& form, browser::TChromium& crm)
    : QObject(&form), form_(form), crm_(crm) {
    crm_.OnClose = [this](QObject*, browser::TCefBrowser*, bool& Result) {
        // A page's own window.close() does not end the program; only the
        // answer to the window's close question does.
        if (state_ == TState::AskingPage)
            PageLetGo();
        Result = true;
    };
    if (QGuiApplication::platformName() == QLatin1String("xcb"))
        qApp->installNativeEventFilter(this);
}

TWindowClosing::~TWindowClosing() {
    qApp->removeNativeEventFilter(this);
}

bool TWindowClosing::CloseQuery() {
    browser::TCefBrowser* browser = crm_.Browser();
    if (state_ == TState::Closing || !browser)
        return true;
    if (!UserLetsDownloadsGo())
        return false;
    state_ = TState::AskingPage;
    // Asked again on every close: the page may have kept the window before.
    browser->GetHost()->CloseBrowser(false);
    return false;
}

bool TWindowClosing::UserLetsDownloadsGo() {
    if (!crm_.HasUnfinishedDownloads())
        return true;
    QMessageBox box(QMessageBox::Question, QApplication::applicationName(),
                    QStringLiteral("下载尚未完成，仍要退出吗？"),
                    QMessageBox::Yes | QMessageBox::No, &form_);
    box.setDefaultButton(QMessageBox::No);
    return box.exec() == QMessageBox::Yes;
}

void TWindowClosing::PageLetGo() {
    crm_.CancelDownloads();
    CloseNow();
}

void TWindowClosing::CloseNow() {
    state_ = TState::Closing;
    form_.close();
}

bool TWindowClosing::nativeEventFilter(const QByteArray& eventType, void* message, qintptr*) {
    if (eventType == "xcb_generic_event_t" && state_ != TState::Closing &&
        IsDestroyOfForm(message)) {
        crm_.CancelDownloads();
        CloseNow();
    }
    return false;
}

bool TWindowClosing::IsDestroyOfForm(void* xcbEvent) const {
    const auto* event = static_cast<const xcb_generic_event_t*>(xcbEvent);
    if ((event->response_type & 0x7f) != XCB_DESTROY_NOTIFY)
        return false;
    const QWindow* window = form_.windowHandle();
    const auto* destroy = static_cast<const xcb_destroy_notify_event_t*>(xcbEvent);
    return window && form_.isVisible() && destroy->window == window->winId();
}

}  // namespace main_window
