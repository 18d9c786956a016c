#pragma once

#include <QList>
#include <QPointer>
#include <QRect>
#include <QString>
#include <QUrl>
#include <QVariantList>
#include <QWebEngineCertificateError>

#include "browser/chromium_options.h"

class QMenu;
#include <QWebEngineDownloadRequest>
class QWebEngineUrlRequestInfo;
class QWidget;

namespace browser {

enum TCefProcessId { PID_BROWSER = 0, PID_RENDERER = 1 };

// A resource request about to be sent; its URL can be changed.
class TCefRequest {
  public:
    explicit TCefRequest(QWebEngineUrlRequestInfo& info) : info_(info) {}
    QString GetUrl() const;
    // A changed URL redirects the request there; an empty one cannot be
    // requested, so the request fails.
    void SetUrl(const QString& url);

  private:
    QWebEngineUrlRequestInfo& info_;
};

// A download as the engine reports it.
class TCefDownloadItem {
  public:
    explicit TCefDownloadItem(QWebEngineDownloadRequest* download) : download_(download) {}
    bool IsValid() const { return !download_.isNull(); }
    bool IsInProgress() const;
    // 0 to 100, or -1 while the total size is unknown.
    int GetPercentComplete() const;

  private:
    QPointer<QWebEngineDownloadRequest> download_;
};

// Decides where a new download goes. Without a call to Continue the download
// is cancelled.
class TCefBeforeDownloadCallback {
  public:
    TCefBeforeDownloadCallback(QWebEngineDownloadRequest* download, QWidget* dialogParent)
        : download_(download), dialogParent_(dialogParent) {}
    // Saves the download at `downloadPath`; with `showDialog` the save dialog
    // proposes that path and the file goes where the user confirms it
    // (cancelling the dialog cancels the download). The download runs
    // meanwhile; see download_save_dialog.h.
    void Continue(const QString& downloadPath, bool showDialog);
    bool WasContinued() const { return continued_; }

  private:
    QPointer<QWebEngineDownloadRequest> download_;
    QWidget* dialogParent_;
    bool continued_ = false;
};

// Given with a download's update; the program's handler needs none of it.
struct TCefDownloadItemCallback {};

// The answer to a certificate error; without Continue(true) the request is
// refused.
class TCefAllowCertificateErrorCallback {
  public:
    explicit TCefAllowCertificateErrorCallback(QWebEngineCertificateError error)
        : error_(std::move(error)) {}
    void Continue(bool allow);

  private:
    QWebEngineCertificateError error_;
};

// What was right-clicked; the program's handler decides by none of it.
struct TCefContextMenuParams {};

// The context menu about to be shown; an empty menu is not shown at all.
class TCefMenuModel {
  public:
    explicit TCefMenuModel(QMenu& menu) : menu_(menu) {}
    void Clear();

  private:
    QMenu& menu_;
};

// A message a page sends to the program; its arguments are a list of values.
class TCefProcessMessage {
  public:
    TCefProcessMessage(QString name, QVariantList arguments)
        : name_(std::move(name)), arguments_(std::move(arguments)) {}
    QString GetName() const { return name_; }
    const QVariantList& GetArgumentList() const { return arguments_; }
    // The string at `index`, or an empty string when there is none.
    QString GetString(int index) const;

  private:
    QString name_;
    QVariantList arguments_;
};

// What a page asked for when it opened a window; a pop-up handler may change
// these (the program does not).
struct TCefPopupFeatures {
    QRect geometry;
    bool userInitiated = false;
    bool dialog = false;
};
struct TCefWindowInfo {
    QRect bounds;
    QString windowName;
};
struct TCefClient {
    bool hasHandlers = true;
};

}  // namespace browser
