#include "browser/download_save_dialog.h"

#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QTimer>
#include <QWebEngineDownloadRequest>
#include <cerrno>
#include <cstdio>

#include "common/file_error_text.h"
#include "common/message_boxes.h"
#include "common/program_files.h"

namespace browser {

namespace {

// Qt sets isFinished() only after it has announced the last state, so the
// state itself tells.
bool HasEnded(const QWebEngineDownloadRequest& download) {
    return download.state() != QWebEngineDownloadRequest::DownloadRequested &&
           download.state() != QWebEngineDownloadRequest::DownloadInProgress;
}

QString ReceivingName() {
    return QStringLiteral(".quorvane-download-%1")
        .arg(QRandomGenerator::system()->generate64(), 16, 16, QLatin1Char('0'));
}

// Renames, replacing what the user agreed to replace; across file systems
// it copies. Gives 0 or the system's error number.
int MoveFile(const QString& from, const QString& to) {
    if (std::rename(QFile::encodeName(from).constData(), QFile::encodeName(to).constData()) == 0)
        return 0;
    if (errno != EXDEV)
        return errno;
    QFile::remove(to);
    if (!QFile::copy(from, to))
        return EIO;
    QFile::remove(from);
    return 0;
}

// The save dialog stays open when the place chosen is one of the program's
// own files, and says why.
class TSaveFileDialog : public QFileDialog {
  public:
    using QFileDialog::QFileDialog;

    void accept() override {
        const QString chosen = selectedFiles().value(0);
        if (common::IsProgramFile(chosen)) {
            common::ShowErrorBox(QStringLiteral("“%1”是本程序自己的文件，不能用下载的文件替换它。\n"
                                                "请换一个文件名，或保存到别的文件夹。")
                                     .arg(QFileInfo(chosen).fileName()));
            return;
        }
        QFileDialog::accept();
    }
};

}  // namespace

void TDownloadSaveDialog::Start(QWebEngineDownloadRequest* download, QWidget* parent,
                                const QString& proposedPath) {
    new TDownloadSaveDialog(download, parent, proposedPath);
}

TDownloadSaveDialog::TDownloadSaveDialog(QWebEngineDownloadRequest* download, QWidget* parent,
                                         const QString& proposedPath)
    : download_(download), dialog_(new TSaveFileDialog(parent, QString(), proposedPath)) {
    setParent(dialog_);
    const QFileInfo proposed(proposedPath);
    const QString folder = proposed.isDir() ? proposed.absoluteFilePath() : proposed.absolutePath();
    receivingPath_ = QDir(folder).filePath(ReceivingName());
    download->setDownloadDirectory(folder);
    download->setDownloadFileName(QFileInfo(receivingPath_).fileName());
    download->accept();
    connect(download, &QWebEngineDownloadRequest::stateChanged, this,
            &TDownloadSaveDialog::DownloadStateChanged);
    connect(download, &QObject::destroyed, this, &TDownloadSaveDialog::End);

    dialog_->setAcceptMode(QFileDialog::AcceptSave);
    dialog_->setOption(QFileDialog::DontUseNativeDialog);
    dialog_->setObjectName(QStringLiteral("SaveDownloadDialog"));
    if (proposed.isDir())
        dialog_->setDirectory(proposedPath);
    connect(dialog_, &QFileDialog::fileSelected, this, &TDownloadSaveDialog::Chosen);
    connect(dialog_, &QDialog::rejected, this, &TDownloadSaveDialog::Rejected);
    dialog_->open();
}

int TDownloadSaveDialog::UnfinishedIn(const QWidget& window) {
    int unfinished = 0;
    for (const TDownloadSaveDialog* save : window.findChildren<TDownloadSaveDialog*>())
        unfinished += save->ended_ ? 0 : 1;
    return unfinished;
}

void TDownloadSaveDialog::DiscardAllIn(QWidget& window) {
    for (TDownloadSaveDialog* save : window.findChildren<TDownloadSaveDialog*>()) {
        if (!save->ended_)
            save->Rejected();
    }
}

TDownloadSaveDialog::~TDownloadSaveDialog() {
    if (!ended_)
        Discard();
}

// Stops the download if it still runs and removes what it received.
void TDownloadSaveDialog::Discard() {
    if (download_ && !HasEnded(*download_))
        download_->cancel();
    QFile::remove(receivingPath_);
}

void TDownloadSaveDialog::Chosen(const QString& path) {
    chosenPath_ = path;
    DownloadStateChanged();
}

void TDownloadSaveDialog::Rejected() {
    Discard();
    End();
}

void TDownloadSaveDialog::DownloadStateChanged() {
    if (ended_ || !download_ || !HasEnded(*download_))
        return;
    if (download_->state() != QWebEngineDownloadRequest::DownloadCompleted) {
        // Broken off: nothing of it is kept, and nothing is left to choose.
        QFile::remove(receivingPath_);
        dialog_->hide();
        End();
    } else if (!chosenPath_.isEmpty()) {
        MoveIntoPlace();
    }
}

// A file that cannot go where the user chose stays where it was received,
// and the user is told why.
void TDownloadSaveDialog::MoveIntoPlace() {
    const int error = MoveFile(receivingPath_, chosenPath_);
    if (error != 0)
        QTimer::singleShot(0, [error] { common::ShowErrorBox(common::FileErrorText(error)); });
    End();
}

void TDownloadSaveDialog::End() {
    if (ended_)
        return;
    ended_ = true;
    dialog_->deleteLater();
}

}  // namespace browser
