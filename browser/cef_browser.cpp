#include "browser/cef_browser.h"

#include <QUrl>
#include <QWebEngineHistory>
#include <QWebEnginePage>

namespace browser {

QString TCefFrame::GetUrl() const {
    if (!isMain_)
        return subFrameUrl_;
    return page_ ? page_->url().toString(QUrl::FullyEncoded) : QString();
}

void TCefFrame::LoadUrl(const QString& url) {
    if (!page_)
        return;
    // The engine's URL parser drops leading and trailing spaces and control
    // characters itself; QUrl refuses them instead, so they go here, and
    // nothing else of the text changes.
    qsizetype first = 0, last = url.size();
    while (first < last && url[first].unicode() <= 0x20)
        ++first;
    while (last > first && url[last - 1].unicode() <= 0x20)
        --last;
    const QString text = url.mid(first, last - first);
    QUrl address(text);
    // As the engine's own address handling does: a text without a scheme is
    // taken as a web address; one that is no address even so leaves the page
    // as it is (a relative address would blank it).
    if (!text.isEmpty() && address.scheme().isEmpty()) {
        address = QUrl(QStringLiteral("http://") + text);
        if (!address.isValid() || address.host().isEmpty())
            return;
    }
    page_->load(address);
}

void TCefBrowserHost::CloseBrowser(bool force) {
    if (!browser_.page_ || browser_.closed_)
        return;
    if (!force) {
        browser_.page_->triggerAction(QWebEnginePage::RequestClose);
        return;
    }
    browser_.page_->triggerAction(QWebEnginePage::Stop);
    browser_.closed_ = true;
}

TCefBrowser::TCefBrowser(QWebEnginePage* page) : page_(page), mainFrame_(page), host_(*this) {}

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
}  // namespace browser
