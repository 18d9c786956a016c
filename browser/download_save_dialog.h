#pragma once

#include <QObject>
#include <QPointer>
#include <QString>

class QFileDialog;
class QWebEngineDownloadRequest;
class QWidget;

namespace browser {

// The save dialog of a download. Qt WebEngine cancels a download that is not
// accepted while its signal runs, and a dialog that runs a loop of its own
// there stops the engine until it closes. So the download is accepted at once
// into a hidden file in the proposed folder, the dialog shows without a loop
// of its own, and the file moves to the chosen place once both the download
// and the dialog are done. Cancelling the dialog cancels the download and
// removes what was received.
class TDownloadSaveDialog : public QObject {
    Q_OBJECT
  public:
    // Accepts `download` and shows the dialog over `parent`, proposing
    // `proposedPath` (a folder, or a file in one). It deletes itself.
    static void Start(QWebEngineDownloadRequest* download, QWidget* parent,
                      const QString& proposedPath);

    // How many downloads shown over `window` have not yet ended: received
    // and moved into place, or discarded.
    static int UnfinishedIn(const QWidget& window);
    // Discards every one of them.
    static void DiscardAllIn(QWidget& window);

    // Gone with its parent window before it ended: the download stops and
    // what it received goes.
    ~TDownloadSaveDialog() override;

  private:
    TDownloadSaveDialog(QWebEngineDownloadRequest* download, QWidget* parent,
                        const QString& proposedPath);
    void Chosen(const QString& path);
    void Rejected();
    void Discard();
    void DownloadStateChanged();
    void MoveIntoPlace();
    void End();

    QPointer<QWebEngineDownloadRequest> download_;
    QFileDialog* dialog_;
    QString receivingPath_;
    QString chosenPath_;
    bool ended_ = false;
};

}  // namespace browser
