#pragma once

#include <QString>
#include <QStringList>
#include <functional>

#include "browser/cef_browser.h"
#include "browser/cef_objects.h"

class QKeyEvent;
class QObject;

namespace browser {

// Event types of the view. Every event gets the view as Sender; a result is a
// reference the view sets to false before raising the event.
using TOnProcessMessageReceived =
    std::function<void(QObject* Sender, TCefBrowser* browser, TCefProcessId sourceProcess,
                       const TCefProcessMessage& message, bool& Result)>;
using TOnLoadStart = std::function<void(QObject* Sender, TCefBrowser* browser, TCefFrame* frame)>;
using TOnLoadEnd = std::function<void(QObject* Sender, TCefBrowser* browser, TCefFrame* frame,
                                      int httpStatusCode)>;
using TOnGotFocus = std::function<void(QObject* Sender, TCefBrowser* browser)>;
using TOnBeforeContextMenu =
    std::function<void(QObject* Sender, TCefBrowser* browser, TCefFrame* frame,
                       TCefContextMenuParams& params, TCefMenuModel& model)>;
using TOnAddressChange = std::function<void(QObject* Sender, TCefBrowser* browser, TCefFrame* frame,
                                            const QString& url)>;
using TOnTitleChange =
    std::function<void(QObject* Sender, TCefBrowser* browser, const QString& title)>;
using TOnStatusMessage =
    std::function<void(QObject* Sender, TCefBrowser* browser, const QString& value)>;
using TOnBeforeDownload =
    std::function<void(QObject* Sender, TCefBrowser* browser, TCefDownloadItem& downloadItem,
                       const QString& suggestedName, TCefBeforeDownloadCallback& callback)>;
using TOnDownloadUpdated =
    std::function<void(QObject* Sender, TCefBrowser* browser, TCefDownloadItem& downloadItem,
                       TCefDownloadItemCallback& callback)>;
using TOnBeforePopup = std::function<void(
    QObject* Sender, TCefBrowser* browser, TCefFrame* frame, const QString& targetUrl,
    const QString& targetFrameName, TCefPopupFeatures& popupFeatures, TCefWindowInfo& windowInfo,
    TCefClient& client, TChromiumOptions& settings, bool& noJavascriptAccess, bool& Result)>;
using TOnBeforeResourceLoad = std::function<void(
    QObject* Sender, TCefBrowser* browser, TCefFrame* frame, TCefRequest& request, bool& Result)>;
using TOnCertificateError =
    std::function<void(QObject* Sender, int certError, const QString& requestUrl,
                       TCefAllowCertificateErrorCallback& callback, bool& Result)>;

// The engine's other callbacks that Qt WebEngine reports.
using TOnLoadError =
    std::function<void(QObject* Sender, TCefBrowser* browser, TCefFrame* frame, int errorCode,
                       const QString& errorText, const QString& failedUrl)>;
using TOnLoadingStateChange = std::function<void(
    QObject* Sender, TCefBrowser* browser, bool isLoading, bool canGoBack, bool canGoForward)>;
using TOnConsoleMessage =
    std::function<void(QObject* Sender, TCefBrowser* browser, const QString& message,
                       const QString& source, int line, bool& Result)>;
enum TCefJsDialogType { JSDIALOGTYPE_ALERT, JSDIALOGTYPE_CONFIRM, JSDIALOGTYPE_PROMPT };
// With Result true the handler answered: `accept` and `userInput` are the answer.
using TOnJsdialog = std::function<void(QObject* Sender, TCefBrowser* browser,
                                       const QString& originUrl, TCefJsDialogType dialogType,
                                       const QString& messageText, const QString& defaultPromptText,
                                       bool& accept, QString& userInput, bool& Result)>;
using TOnBrowserNotify = std::function<void(QObject* Sender, TCefBrowser* browser)>;
// Result true keeps the window open.
using TOnClose = std::function<void(QObject* Sender, TCefBrowser* browser, bool& Result)>;
// Result true cancels the navigation.
using TOnBeforeBrowse = std::function<void(QObject* Sender, TCefBrowser* browser, TCefFrame* frame,
                                           const QString& url, bool isRedirect, bool& Result)>;
// Result true: the handler filled in the credentials.
using TOnGetAuthCredentials =
    std::function<void(QObject* Sender, TCefBrowser* browser, bool isProxy, const QString& host,
                       const QString& realm, QString& username, QString& password, bool& Result)>;
using TOnRenderProcessTerminated =
    std::function<void(QObject* Sender, TCefBrowser* browser, int status)>;
// Result true: the handler chose `files` (empty: cancelled).
using TOnFileDialog =
    std::function<void(QObject* Sender, TCefBrowser* browser, bool multiple,
                       const QStringList& acceptTypes, QStringList& files, bool& Result)>;
using TOnRequestGeolocationPermission =
    std::function<void(QObject* Sender, TCefBrowser* browser, const QString& requestingUrl,
                       bool& allow, bool& Result)>;
using TOnCancelGeolocationPermission =
    std::function<void(QObject* Sender, TCefBrowser* browser, const QString& requestingUrl)>;
// Result true: the handler took the key; it does not reach the page.
using TOnKeyEvent =
    std::function<void(QObject* Sender, TCefBrowser* browser, QKeyEvent* event, bool& Result)>;
using TOnContextMenuCommand =
    std::function<void(QObject* Sender, TCefBrowser* browser, TCefFrame* frame,
                       const QString& commandLabel, bool& Result)>;
using TOnContextMenuDismissed =
    std::function<void(QObject* Sender, TCefBrowser* browser, TCefFrame* frame)>;

}  // namespace browser
