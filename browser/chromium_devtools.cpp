#include "browser/chromium_devtools.h"

#include <QVBoxLayout>
#include <QWebEnginePage>
#include <QWebEngineProfile>
#include <QWebEngineView>

#include "browser/cef_browser.h"

namespace browser {

namespace {
const char* const kDevToolsName = "DevTools";
}

TChromiumDevTools::TChromiumDevTools(QWidget* parent) : QWidget(parent) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    setFocusPolicy(Qt::StrongFocus);
}

QWidget* TChromiumDevTools::firstChild() const {
    return findChild<QWebEngineView*>(kDevToolsName, Qt::FindDirectChildrenOnly);
}

void TChromiumDevTools::ShowDevTools(TCefBrowser* browser, QPoint inspectAt) {
    if (!browser || !browser->page())
        return;
    auto* view = new QWebEngineView(this);
    view->setObjectName(kDevToolsName);
    auto* page = new QWebEnginePage(QWebEngineProfile::defaultProfile(), view);
    view->setPage(page);
    layout()->addWidget(view);
    setFocusProxy(view);
    browser->page()->setDevToolsPage(page);
    if (inspectAt.x() >= 0 && inspectAt.y() >= 0)
        browser->page()->triggerAction(QWebEnginePage::InspectElement);
    view->show();
}

void TChromiumDevTools::CloseDevTools(TCefBrowser* browser) {
    if (!browser)
        return;
    QWidget* child = firstChild();
    if (child) {
        child->setParent(nullptr);
        setFocusProxy(nullptr);
    }
    if (browser->page())
        browser->page()->setDevToolsPage(nullptr);
    delete child;
}

}  // namespace browser
