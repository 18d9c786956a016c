#include "browser/cef_objects.h"

#include <QFileInfo>
#include <QMenu>
#include <QWebEngineContextMenuRequest>
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

QString TCefRequest::GetMethod() const {
    return QString::fromLatin1(info_.requestMethod());
}

bool TCefDownloadItem::IsInProgress() const {
    return download_ && (download_->state() == QWebEngineDownloadRequest::DownloadRequested ||
                         download_->state() == QWebEngineDownloadRequest::DownloadInProgress);
}

bool TCefDownloadItem::IsComplete() const {
    return download_ && download_->state() == QWebEngineDownloadRequest::DownloadCompleted;
}

bool TCefDownloadItem::IsCanceled() const {
    return download_ && download_->state() == QWebEngineDownloadRequest::DownloadCancelled;
}

int TCefDownloadItem::GetPercentComplete() const {
    if (!download_ || download_->totalBytes() <= 0)
        return -1;
    return static_cast<int>(download_->receivedBytes() * 100 / download_->totalBytes());
}

qint64 TCefDownloadItem::GetReceivedBytes() const {
    return download_ ? download_->receivedBytes() : 0;
}

qint64 TCefDownloadItem::GetTotalBytes() const {
    return download_ ? download_->totalBytes() : 0;
}

QString TCefDownloadItem::GetSuggestedFileName() const {
    return download_ ? download_->suggestedFileName() : QString();
}

QString TCefDownloadItem::GetFullPath() const {
    if (!download_)
        return {};
    return download_->downloadDirectory() + u'/' + download_->downloadFileName();
}

QString TCefDownloadItem::GetUrl() const {
    return download_ ? download_->url().toString() : QString();
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

void TCefDownloadItemCallback::Cancel() {
    if (download_)
        download_->cancel();
}

void TCefAllowCertificateErrorCallback::Continue(bool allow) {
    if (allow)
        error_.acceptCertificate();
    else
        error_.rejectCertificate();
}

QPoint TCefContextMenuParams::GetPosition() const {
    return request_ ? request_->position() : QPoint();
}

QString TCefContextMenuParams::GetLinkUrl() const {
    return request_ ? request_->linkUrl().toString() : QString();
}

QString TCefContextMenuParams::GetSelectionText() const {
    return request_ ? request_->selectedText() : QString();
}

bool TCefContextMenuParams::IsEditable() const {
    return request_ && request_->isContentEditable();
}

void TCefMenuModel::Clear() {
    menu_.clear();
}

int TCefMenuModel::GetCount() const {
    return static_cast<int>(menu_.actions().size());
}

QString TCefMenuModel::GetLabelAt(int index) const {
    const auto actions = menu_.actions();
    return index >= 0 && index < actions.size() ? actions[index]->text() : QString();
}

QString TCefProcessMessage::GetString(int index) const {
    if (index < 0 || index >= arguments_.size())
        return {};
    return arguments_[index].toString();
}

}  // namespace browser
