#pragma once

#include <QObject>
#include <QString>

#include "browser/chromium.h"
#include "main/home_host_rewrite.h"

class QStatusBar;

namespace main_window {

// The fixed policies that make the program a single-view browser: pop-ups
// replace the page in the one view, downloads are proposed in the program's
// folder through the save dialog and show their progress in the status bar,
// certificate errors are accepted without asking, the page's context menu is
// suppressed, requests to the host "home" go to a public search site, and a
// page's "mouseover" message shows its text in the status bar.
class TBrowserPolicies : public QObject {
    Q_OBJECT
  public:
    // Answers the seven events of `crm`; belongs to `owner`.
    TBrowserPolicies(browser::TChromium& crm, QStatusBar& statusBar, QObject* owner);

    void crmBeforePopup(const QString& targetUrl, bool& Result);
    void crmBeforeDownload(const QString& suggestedName,
                           browser::TCefBeforeDownloadCallback& callback);
    void crmDownloadUpdated(const browser::TCefDownloadItem& downloadItem);
    void crmCertificateError(browser::TCefAllowCertificateErrorCallback& callback, bool& Result);
    void crmBeforeContextMenu(browser::TCefMenuModel& model);
    void crmBeforeResourceLoad(browser::TCefRequest& request);
    void crmProcessMessageReceived(const browser::TCefProcessMessage& message, bool& Result);

  private:
    void ConnectEvents();

    browser::TChromium& crm_;
    QStatusBar& statusBar_;
};

}  // namespace main_window
