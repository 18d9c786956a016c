#include "browser/chromium.h"

#include <QApplication>
#include <QAuthenticator>
#include <QMenu>
#include <QVBoxLayout>
#include <QWebEngineCertificateError>
#include <QWebEngineDownloadRequest>
#include <QWebEngineLoadingInfo>
#include <QWebEngineNewWindowRequest>
#include <QWebEngineProfile>
#include <QWebEngineUrlRequestInfo>
#include <QWebEngineView>

#include "browser/browser_settings.h"
#include "browser/chromium_page.h"
#include "browser/download_save_dialog.h"
#include "browser/page_print.h"
#include "browser/process_message_channel.h"
#include "browser/request_interceptor.h"
#include "common/application.h"

namespace browser {

template <typename Event, typename... Args>
void TChromium::RaiseNow(const Event& event, Args&&... args) {
    if (!connected_ || !event)
        return;
    common::RunHandler([&] { event(this, std::forward<Args>(args)...); });
}

template <typename Event, typename... Args>
void TChromium::RaiseWhenIdle(const Event& event, Args&&... args) {
    if (!connected_ || !event)
        return;
    common::RunWhenNoHandlerRuns(
        [self = QPointer<TChromium>(this), &event, ... values = std::decay_t<Args>(args)] {
            if (self && self->connected_ && event)
                event(self.data(), values...);
        });
}

TChromium::TChromium(QWidget* parent) : QWidget(parent) {
    // No native window of its own (Qt::WA_NativeWindow): the page composites
    // into the main window through Qt's OpenGL flush, and Qt 6.4 gives a
    // native child the surface type of its own widgets at the moment it is
    // made, before the engine adds the page's Qt Quick widget. Such a child,
    // and the tool bar and status bar made native with it, would be raster
    // surfaces that the OpenGL flush cannot draw on: the window stays black.
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    setFocusPolicy(Qt::StrongFocus);
}

TChromium::~TChromium() {
    if (browser_) {
        browser_->StopLoad();
        browser_->GetHost()->CloseBrowser(true);
    }
    connected_ = false;
    if (view_)
        FinishPrinting(*view_);
    if (page_) {
        page_->disconnect(this);
        QWebEngineProfile::defaultProfile()->disconnect(this);
        qApp->disconnect(this);
    }
    browser_.reset();
    // The view (and the page it parents) goes before the interceptor it uses.
    delete view_;
    view_ = nullptr;
}

void TChromium::Loaded() {
    Load(DefaultUrl);
}

void TChromium::Load(const QString& url) {
    if (!browser_)
        CreateBrowser();
    if (browser_)
        browser_->GetMainFrame()->LoadUrl(url);
}

bool TChromium::HasUnfinishedDownloads() const {
    return TDownloadSaveDialog::UnfinishedIn(*window()) > 0;
}

void TChromium::CancelDownloads() {
    TDownloadSaveDialog::DiscardAllIn(*window());
}

void TChromium::CreateBrowser() {
    view_ = new QWebEngineView(this);
    page_ = new TChromiumPage(QWebEngineProfile::defaultProfile(), view_);
    ApplyBrowserSettings(*page_, Options, FontOptions, DefaultEncoding);
    view_->setPage(page_);
    layout()->addWidget(view_);
    setFocusProxy(view_);
    interceptor_ = new TRequestInterceptor;
    interceptor_->setParent(this);
    page_->setUrlRequestInterceptor(interceptor_);
    channel_ = new TProcessMessageChannel(this);
    channel_->attachTo(*page_);
    frameLoads_.attachTo(*page_);
    browser_ = std::make_unique<TCefBrowser>(page_);
    ConnectPage();
    ConnectPageHooks();
    ConnectDownloads();
    ConnectPermissionsAndAuth();
    RaiseWhenIdle(OnAfterCreated, browser_.get());
}

void TChromium::ConnectPage() {
    connect(page_, &QWebEnginePage::loadingChanged, this, &TChromium::HandleLoading);
    connect(page_, &QWebEnginePage::urlChanged, this, [this](const QUrl& url) {
        RaiseWhenIdle(OnAddressChange, browser_.get(), browser_->GetMainFrame(),
                      url.toString(QUrl::FullyEncoded));
    });
    connect(page_, &QWebEnginePage::titleChanged, this,
            [this](const QString& title) { RaiseWhenIdle(OnTitleChange, browser_.get(), title); });
    connect(page_, &QWebEnginePage::linkHovered, this,
            [this](const QString& url) { RaiseWhenIdle(OnStatusMessage, browser_.get(), url); });
    connect(page_, &QWebEnginePage::certificateError, this,
            [this](const QWebEngineCertificateError& error) {
                TCefAllowCertificateErrorCallback callback(error);
                bool result = false;
                RaiseNow(OnCertificateError, static_cast<int>(error.type()), error.url().toString(),
                         callback, result);
                if (!result)
                    callback.Continue(false);
            });
    connect(page_, &QWebEnginePage::newWindowRequested, this, &TChromium::HandleNewWindow);
    connect(page_, &QWebEnginePage::windowCloseRequested, this, [this] {
        bool result = false;
        RaiseNow(OnClose, browser_.get(), result);
    });
    connect(page_, &QWebEnginePage::renderProcessTerminated, this,
            [this](QWebEnginePage::RenderProcessTerminationStatus status, int) {
                RaiseWhenIdle(OnRenderProcessTerminated, browser_.get(), static_cast<int>(status));
            });
    connect(view_, &QWebEngineView::printRequested, this, [this] { PrintPage(*view_); });
    view_->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(view_, &QWidget::customContextMenuRequested, this, &TChromium::HandleContextMenu);
    connect(qApp, &QApplication::focusChanged, this, &TChromium::HandleFocusChange);
    channel_->received = [this](const QString& name, const QVariantList& arguments) {
        HandleProcessMessage(name, arguments);
    };
    interceptor_->beforeResourceLoad = [this](QWebEngineUrlRequestInfo& info) {
        HandleResourceRequest(info);
    };
    frameLoads_.reported = [this](bool started, const QString& url) {
        HandleSubFrameLoad(started, url);
    };
}

void TChromium::ConnectPageHooks() {
    page_->beforeBrowse = [this](const QUrl& url, bool) {
        bool result = false;
        RaiseNow(OnBeforeBrowse, browser_.get(), browser_->GetMainFrame(),
                 url.toString(QUrl::FullyEncoded), false, result);
        return result;
    };
    page_->consoleMessage = [this](const QString& message, const QString& source, int line) {
        if (frameLoads_.take(message))
            return true;
        bool result = false;
        RaiseNow(OnConsoleMessage, browser_.get(), message, source, line, result);
        return result;
    };
    page_->jsDialog = [this](int type, const QUrl& origin, const QString& message,
                             const QString& defaultText, bool& accept, QString& input) {
        bool result = false;
        RaiseNow(OnJsdialog, browser_.get(), origin.toString(), static_cast<TCefJsDialogType>(type),
                 message, defaultText, accept, input, result);
        return result;
    };
    page_->fileDialog = [this](bool multiple, const QStringList& types, QStringList& files) {
        bool result = false;
        RaiseNow(OnFileDialog, browser_.get(), multiple, types, files, result);
        return result;
    };
}

void TChromium::ConnectDownloads() {
    connect(QWebEngineProfile::defaultProfile(), &QWebEngineProfile::downloadRequested, this,
            &TChromium::HandleDownload);
}

void TChromium::ConnectPermissionsAndAuth() {
    connect(page_, &QWebEnginePage::authenticationRequired, this,
            [this](const QUrl& url, QAuthenticator* authenticator) {
                HandleAuthentication(url, authenticator, false, url.host());
            });
    connect(page_, &QWebEnginePage::proxyAuthenticationRequired, this,
            [this](const QUrl& url, QAuthenticator* authenticator, const QString& proxyHost) {
                HandleAuthentication(url, authenticator, true, proxyHost);
            });
    connect(page_, &QWebEnginePage::featurePermissionRequested, this,
            [this](const QUrl& origin, QWebEnginePage::Feature feature) {
                if (feature != QWebEnginePage::Geolocation)
                    return;
                bool allow = false, result = false;
                RaiseNow(OnRequestGeolocationPermission, browser_.get(), origin.toString(), allow,
                         result);
                if (result && page_)
                    page_->setFeaturePermission(origin, feature,
                                                allow ? QWebEnginePage::PermissionGrantedByUser
                                                      : QWebEnginePage::PermissionDeniedByUser);
            });
    connect(page_, &QWebEnginePage::featurePermissionRequestCanceled, this,
            [this](const QUrl& origin, QWebEnginePage::Feature feature) {
                if (feature == QWebEnginePage::Geolocation)
                    RaiseWhenIdle(OnCancelGeolocationPermission, browser_.get(), origin.toString());
            });
}

// Qt WebEngine reports the HTTP status only for failed loads; a page that
// loaded counts as 200, one that failed without an HTTP status as 0.
void TChromium::HandleLoading(const QWebEngineLoadingInfo& info) {
    TCefFrame* frame = browser_->GetMainFrame();
    if (info.status() == QWebEngineLoadingInfo::LoadStartedStatus) {
        RaiseWhenIdle(OnLoadingStateChange, browser_.get(), true, browser_->CanGoBack(),
                      browser_->CanGoForward());
        RaiseWhenIdle(OnLoadStart, browser_.get(), frame);
        return;
    }
    int status = info.status() == QWebEngineLoadingInfo::LoadSucceededStatus ? 200 : 0;
    if (info.errorDomain() == QWebEngineLoadingInfo::HttpStatusCodeDomain)
        status = info.errorCode();
    if (info.status() == QWebEngineLoadingInfo::LoadFailedStatus)
        RaiseWhenIdle(OnLoadError, browser_.get(), frame, info.errorCode(), info.errorString(),
                      info.url().toString());
    RaiseWhenIdle(OnLoadEnd, browser_.get(), frame, status);
    RaiseWhenIdle(OnLoadingStateChange, browser_.get(), false, browser_->CanGoBack(),
                  browser_->CanGoForward());
}

// A sub-frame's load: its frame lives as long as the handler runs. Qt
// reports no status for it, so a finished one counts as 200.
void TChromium::HandleSubFrameLoad(bool started, const QString& url) {
    if (!connected_)
        return;
    auto frame = std::make_shared<TCefFrame>(page_, url);
    common::RunWhenNoHandlerRuns([self = QPointer<TChromium>(this), frame, started] {
        if (!self || !self->connected_ || !self->browser_)
            return;
        if (started && self->OnLoadStart)
            self->OnLoadStart(self.data(), self->browser_.get(), frame.get());
        else if (!started && self->OnLoadEnd)
            self->OnLoadEnd(self.data(), self->browser_.get(), frame.get(), 200);
    });
}

// Without a handler that takes the pop-up, it opens in a window of its own,
// as the engine would do.
void TChromium::HandleNewWindow(QWebEngineNewWindowRequest& request) {
    TCefPopupFeatures features{request.requestedGeometry(), request.isUserInitiated(),
                               request.destination() == QWebEngineNewWindowRequest::InNewDialog};
    TCefWindowInfo windowInfo{request.requestedGeometry(), QString()};
    TCefClient client;
    TChromiumOptions settings = Options;
    bool noJavascriptAccess = false;
    bool result = false;
    RaiseNow(OnBeforePopup, browser_.get(), browser_->GetMainFrame(),
             request.requestedUrl().toString(QUrl::FullyEncoded), QString(), features, windowInfo,
             client, settings, noJavascriptAccess, result);
    if (result || !connected_)
        return;
    auto* popup = new QWebEngineView;
    popup->setAttribute(Qt::WA_DeleteOnClose);
    auto* popupPage = new QWebEnginePage(QWebEngineProfile::defaultProfile(), popup);
    popup->setPage(popupPage);
    request.openIn(popupPage);
    if (!features.geometry.isEmpty())
        popup->resize(features.geometry.size());
    popup->show();
}

void TChromium::HandleDownload(QWebEngineDownloadRequest* download) {
    if (!connected_ || download->page() != page_)
        return;
    TCefDownloadItem item(download);
    TCefBeforeDownloadCallback callback(download, window());
    RaiseNow(OnBeforeDownload, browser_.get(), item, download->suggestedFileName(), callback);
    if (!callback.WasContinued()) {
        download->cancel();
        return;
    }
    auto updated = [this, download] {
        TCefDownloadItem current(download);
        TCefDownloadItemCallback callback;
        RaiseNow(OnDownloadUpdated, browser_.get(), current, callback);
    };
    connect(download, &QWebEngineDownloadRequest::receivedBytesChanged, this, updated);
    connect(download, &QWebEngineDownloadRequest::stateChanged, this, updated);
    updated();
}

void TChromium::HandleContextMenu(const QPoint& position) {
    QMenu* menu = view_->createStandardContextMenu();
    menu->setAttribute(Qt::WA_DeleteOnClose);
    TCefContextMenuParams params;
    TCefMenuModel model(*menu);
    RaiseNow(OnBeforeContextMenu, browser_.get(), browser_->GetMainFrame(), params, model);
    if (menu->actions().isEmpty()) {
        delete menu;
        return;
    }
    connect(menu, &QMenu::triggered, this, [this](QAction* action) {
        bool result = false;
        RaiseNow(OnContextMenuCommand, browser_.get(), browser_->GetMainFrame(), action->text(),
                 result);
    });
    connect(menu, &QMenu::aboutToHide, this, [this] {
        RaiseWhenIdle(OnContextMenuDismissed, browser_.get(), browser_->GetMainFrame());
    });
    menu->popup(view_->mapToGlobal(position));
}

void TChromium::HandleAuthentication(const QUrl&, QAuthenticator* authenticator, bool isProxy,
                                     const QString& host) {
    QString username, password;
    bool result = false;
    RaiseNow(OnGetAuthCredentials, browser_.get(), isProxy, host, authenticator->realm(), username,
             password, result);
    if (!result) {
        // No credentials: the request ends with the server's answer.
        *authenticator = QAuthenticator();
        return;
    }
    authenticator->setUser(username);
    authenticator->setPassword(password);
}

void TChromium::HandleFocusChange(QWidget* old, QWidget* now) {
    if (!view_ || !now)
        return;
    const bool gained = view_->isAncestorOf(now) || now == view_;
    const bool hadIt = old && (view_->isAncestorOf(old) || old == view_);
    if (gained && !hadIt)
        RaiseWhenIdle(OnGotFocus, browser_.get());
}

void TChromium::HandleProcessMessage(const QString& name, const QVariantList& arguments) {
    const TCefProcessMessage message(name, arguments);
    bool result = false;
    RaiseNow(OnProcessMessageReceived, browser_.get(), PID_RENDERER, message, result);
}

void TChromium::HandleResourceRequest(QWebEngineUrlRequestInfo& info) {
    TCefRequest request(info);
    bool result = false;
    RaiseNow(OnBeforeResourceLoad, browser_.get(), browser_->GetMainFrame(), request, result);
    if (result)
        info.block(true);
}

}  // namespace browser
