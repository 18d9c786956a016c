#include "browser/cef_objects.h"

#include <QFileInfo>
#include <QMenu>
#include <QWebEngineDownloadRequest>
#include <QWebEngineUrlRequestInfo>

#include "browser/download_save_dialog.h"

namespace browser {

QString TCefRequest::GetUrl() const {
    return info_.requestUrl().toString(QUrl::FullyEncoded);
}

void TCefRequest::SetUrl(const QString& url) {
    if (url == GetUrl())
        return;
    const QUrl target(url);
    if (url.isEmpty() || !target.isValid()) {
        info_.block(true);
        return;
    }
    info_.redirect(target);
}

bool TCefDownloadItem::IsInProgress() const {
    return download_ && (download_->state() == QWebEngineDownloadRequest::DownloadRequested ||
                         download_->state() == QWebEngineDownloadRequest::DownloadInProgress);
}

int TCefDownloadItem::GetPercentComplete() const {
    if (!download_ || download_->totalBytes() <= 0)
        return -1;
    return static_cast<int>(download_->receivedBytes() * 100 / download_->totalBytes());
}

void TCefBeforeDownloadCallback::Continue(const QString& downloadPath, bool showDialog) {
    if (!download_ || continued_)
        return;
    continued_ = true;
    if (showDialog) {
        TDownloadSaveDialog::Start(download_, dialogParent_, downloadPath);
        return;
    }
    const QFileInfo target(downloadPath);
    download_->setDownloadDirectory(target.absolutePath());
    download_->setDownloadFileName(target.fileName());
    download_->accept();
}

void TCefAllowCertificateErrorCallback::Continue(bool allow) {
    if (allow)
        error_.acceptCertificate();
    else
        error_.rejectCertificate();
}

void TCefMenuModel::Clear() {
    menu_.clear();
}

QString TCefProcessMessage::GetString(int index) const {
    if (index < 0 || index >= arguments_.size())
        return {};
    return arguments_[index].toString();
}

}  // namespace browser
