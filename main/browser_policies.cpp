#include "main/browser_policies.h"

#include <QStatusBar>

#include "common/executable_folder.h"

namespace main_window {

using namespace browser;

TBrowserPolicies::TBrowserPolicies(TChromium& crm, QStatusBar& statusBar, QObject* owner)
    : QObject(owner), crm_(crm), statusBar_(statusBar) {
    setObjectName(QStringLiteral("BrowserPolicies"));
    ConnectEvents();
}

void TBrowserPolicies::ConnectEvents() {
    crm_.OnBeforePopup = [this](QObject*, TCefBrowser*, TCefFrame*, const QString& targetUrl,
                                const QString&, TCefPopupFeatures&, TCefWindowInfo&, TCefClient&,
                                TChromiumOptions&, bool&,
                                bool& Result) { crmBeforePopup(targetUrl, Result); };
    crm_.OnBeforeDownload = [this](QObject*, TCefBrowser*, TCefDownloadItem&,
                                   const QString& suggestedName,
                                   TCefBeforeDownloadCallback& callback) {
        crmBeforeDownload(suggestedName, callback);
    };
    crm_.OnDownloadUpdated = [this](QObject*, TCefBrowser*, TCefDownloadItem& item,
                                    TCefDownloadItemCallback&) { crmDownloadUpdated(item); };
    crm_.OnCertificateError = [this](QObject*, int, const QString&,
                                     TCefAllowCertificateErrorCallback& callback,
                                     bool& Result) { crmCertificateError(callback, Result); };
    crm_.OnBeforeContextMenu = [this](QObject*, TCefBrowser*, TCefFrame*, TCefContextMenuParams&,
                                      TCefMenuModel& model) { crmBeforeContextMenu(model); };
    crm_.OnBeforeResourceLoad = [this](QObject*, TCefBrowser*, TCefFrame*, TCefRequest& request,
                                       bool&) { crmBeforeResourceLoad(request); };
    crm_.OnProcessMessageReceived = [this](QObject*, TCefBrowser*, TCefProcessId,
                                           const TCefProcessMessage& message, bool& Result) {
        crmProcessMessageReceived(message, Result);
    };
}

// The engine opens no window of its own: the target replaces the page.
void TBrowserPolicies::crmBeforePopup(const QString& targetUrl, bool& Result) {
    crm_.Load(targetUrl);
    Result = true;
}

// The save dialog proposes the program's folder and the engine's suggested
// name; the user confirms or changes the place there.
void TBrowserPolicies::crmBeforeDownload(const QString& suggestedName,
                                         TCefBeforeDownloadCallback& callback) {
    callback.Continue(common::ExecutableFolder() + suggestedName, true);
}

// A size the server did not tell shows as "-1%", as the engine reports it.
void TBrowserPolicies::crmDownloadUpdated(const TCefDownloadItem& downloadItem) {
    if (downloadItem.IsInProgress())
        statusBar_.showMessage(QString::number(downloadItem.GetPercentComplete()) + u'%');
    else
        statusBar_.clearMessage();
}

void TBrowserPolicies::crmCertificateError(TCefAllowCertificateErrorCallback& callback,
                                           bool& Result) {
    callback.Continue(true);
    Result = true;
}

// An empty menu is not shown at all.
void TBrowserPolicies::crmBeforeContextMenu(TCefMenuModel& model) {
    model.Clear();
}

// The request is never cancelled here; a "home" URL that cannot be rebuilt
// becomes empty, which the engine cannot request.
void TBrowserPolicies::crmBeforeResourceLoad(TCefRequest& request) {
    if (const std::optional<QString> rewritten =
            RewriteHomeHost(request.GetUrl(), QString::fromLatin1(kHomeSearchHost)))
        request.SetUrl(*rewritten);
}

void TBrowserPolicies::crmProcessMessageReceived(const TCefProcessMessage& message, bool& Result) {
    if (message.GetName() != QLatin1String("mouseover"))
        return;
    statusBar_.showMessage(message.GetString(0));
    Result = true;
}

}  // namespace main_window
