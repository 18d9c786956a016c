#include "browser/cef_browser.h"

#include <QUrl>
#include <QWebEngineHistory>
#include <QWebEnginePage>
#include <atomic>

namespace browser {

QString TCefFrame::GetUrl() const {
    return page_ ? page_->url().toString(QUrl::FullyEncoded) : QString();
}

void TCefFrame::LoadUrl(const QString& url) {
    // QUrl in tolerant mode keeps what was typed apart from encoding it, the
    // way the engine's own parser receives a typed address.
    if (page_)
        page_->load(QUrl(url));
}

void TCefBrowserHost::CloseBrowser(bool /*force*/) {
    if (!browser_.page_ || browser_.closed_)
        return;
    browser_.page_->triggerAction(QWebEnginePage::Stop);
    browser_.closed_ = true;
}

namespace {
std::atomic<int> nextIdentifier{1};
}

TCefBrowser::TCefBrowser(QWebEnginePage* page)
    : page_(page), mainFrame_(page), host_(*this), identifier_(nextIdentifier++) {}

bool TCefBrowser::CanGoBack() const {
    return page_ && page_->history()->canGoBack();
}
bool TCefBrowser::CanGoForward() const {
    return page_ && page_->history()->canGoForward();
}

void TCefBrowser::GoBack() {
    if (page_)
        page_->triggerAction(QWebEnginePage::Back);
}
void TCefBrowser::GoForward() {
    if (page_)
        page_->triggerAction(QWebEnginePage::Forward);
}
void TCefBrowser::Reload() {
    if (page_)
        page_->triggerAction(QWebEnginePage::Reload);
}
void TCefBrowser::StopLoad() {
    if (page_)
        page_->triggerAction(QWebEnginePage::Stop);
}
bool TCefBrowser::IsLoading() const {
    return loading_;
}

}  // namespace browser
