#pragma once

#include <QPointer>
#include <QString>
#include <QWidget>
#include <memory>

#include "browser/cef_browser.h"
#include "browser/chromium_events.h"
#include "browser/chromium_options.h"
#include "browser/frame_loads.h"

class QWebEngineView;
class QWebEngineDownloadRequest;
class QWebEngineLoadingInfo;
class QWebEngineNewWindowRequest;
class QAuthenticator;

namespace browser {

class TChromiumPage;
class TRequestInterceptor;
class TProcessMessageChannel;

// The control that hosts one engine browser and turns the engine's callbacks
// into its events. The browser is created when the window definition has been
// applied (Loaded), with the options set by then, and "DefaultUrl" is loaded at
// once. Events are raised on the GUI thread, where Qt WebEngine makes its
// callbacks; an exception from a handler is reported and never reaches the
// engine. After destruction began no event is delivered.
class TChromium : public QWidget {
    Q_OBJECT
  public:
    explicit TChromium(QWidget* parent = nullptr);
    ~TChromium() override;

    QString DefaultUrl = QStringLiteral("about:blank");
    TChromiumOptions Options;
    TChromiumFontOptions FontOptions;
    QString DefaultEncoding;

    // The engine browser, or null before creation and after destruction.
    TCefBrowser* Browser() const { return browser_.get(); }
    // Called once the window definition has set the control's properties:
    // creates the browser and loads DefaultUrl.
    void Loaded();
    // Creates the browser if needed, then loads `url` into its main frame.
    void Load(const QString& url);
    // The widget showing the page (for the developer tools and tests).
    QWebEngineView* view() const { return view_; }
    // Downloads of this view's window whose file is not yet in its place.
    bool HasUnfinishedDownloads() const;
    // Stops them and removes what they received.
    void CancelDownloads();

    TOnProcessMessageReceived OnProcessMessageReceived;
    TOnLoadStart OnLoadStart;
    TOnLoadEnd OnLoadEnd;
    TOnGotFocus OnGotFocus;
    TOnBeforeContextMenu OnBeforeContextMenu;
    TOnAddressChange OnAddressChange;
    TOnTitleChange OnTitleChange;
    TOnStatusMessage OnStatusMessage;
    TOnBeforeDownload OnBeforeDownload;
    TOnDownloadUpdated OnDownloadUpdated;
    TOnBeforePopup OnBeforePopup;
    TOnBeforeResourceLoad OnBeforeResourceLoad;
    TOnCertificateError OnCertificateError;

    // The other callbacks Qt WebEngine reports. The engine's tool-tip, drag,
    // plug-in, quota, protocol-execution, modal-loop, dialog-reset, resource
    // redirect and resource-handler callbacks have no counterpart in Qt
    // WebEngine (scheme handlers serve resources instead), so the control
    // offers no events for them.
    TOnLoadError OnLoadError;
    TOnLoadingStateChange OnLoadingStateChange;
    TOnConsoleMessage OnConsoleMessage;
    TOnJsdialog OnJsdialog;
    TOnBrowserNotify OnAfterCreated;
    TOnBrowserNotify OnBeforeClose;
    TOnClose OnClose;
    TOnBeforeBrowse OnBeforeBrowse;
    TOnGetAuthCredentials OnGetAuthCredentials;
    TOnRenderProcessTerminated OnRenderProcessTerminated;
    TOnFileDialog OnFileDialog;
    TOnRequestGeolocationPermission OnRequestGeolocationPermission;
    TOnCancelGeolocationPermission OnCancelGeolocationPermission;
    TOnContextMenuCommand OnContextMenuCommand;
    TOnContextMenuDismissed OnContextMenuDismissed;

  private:
    void CreateBrowser();
    void ConnectPage();
    void ConnectPageHooks();
    void ConnectDownloads();
    void ConnectPermissionsAndAuth();
    void HandleLoading(const QWebEngineLoadingInfo& info);
    void HandleSubFrameLoad(bool started, const QString& url);
    void HandleNewWindow(QWebEngineNewWindowRequest& request);
    void HandleDownload(QWebEngineDownloadRequest* download);
    void HandleContextMenu(const QPoint& position);
    void HandleAuthentication(const QUrl& url, QAuthenticator* authenticator, bool isProxy,
                              const QString& host);
    void HandleFocusChange(QWidget* old, QWidget* now);
    void HandleProcessMessage(const QString& name, const QVariantList& arguments);
    void HandleResourceRequest(class QWebEngineUrlRequestInfo& info);

    // Calls a handler unless the control is disconnected; a handler's
    // exception is reported here and never reaches the engine.
    // An event that asks for an answer runs its handler at once.
    template <typename Event, typename... Args>
    void RaiseNow(const Event& event, Args&&... args);
    // One that only tells runs its handler later when another handler is
    // running (its message box would otherwise get this handler's box inside
    // it): at once otherwise, else once that handler has returned.
    template <typename Event, typename... Args>
    void RaiseWhenIdle(const Event& event, Args&&... args);

    QWebEngineView* view_ = nullptr;
    TChromiumPage* page_ = nullptr;
    TRequestInterceptor* interceptor_ = nullptr;
    TProcessMessageChannel* channel_ = nullptr;
    TFrameLoads frameLoads_;
    std::unique_ptr<TCefBrowser> browser_;
    bool connected_ = true;
};

}  // namespace browser
