#pragma once

#include <QIODevice>
#include <QString>
#include <QUrl>
#include <memory>

namespace scheme {

// What the engine is told before the body of a local answer.
struct TResponseHeaders {
    int Status = 0;
    QString StatusText;
    QString MimeType;
};

// The answer to one request of the "local" scheme: a file's bytes, a folder's
// listing page or the not-found page. One object per request: ProcessRequest
// once, GetResponseHeaders once, then ReadResponse until the announced length
// has been delivered. A file is read from disk in the pieces asked for;
// listings and the not-found page are built completely in memory first.
class TFileScheme {
  public:
    TFileScheme();
    ~TFileScheme();
    TFileScheme(const TFileScheme&) = delete;
    TFileScheme& operator=(const TFileScheme&) = delete;

    // Decides between file, folder and not found for the address and prepares
    // the body. Never fails: anything that cannot be served becomes the
    // not-found answer. Returns true.
    bool ProcessRequest(const QUrl& url);
    // Status, status text and MIME type, and the body's length in bytes.
    void GetResponseHeaders(TResponseHeaders& response, qint64& responseLength) const;
    // Reads up to `bytesToRead` bytes of the body from its current position;
    // `bytesRead` is 0 at the end. False only when the file cannot be read any
    // more (a disk error in the middle of a file).
    bool ReadResponse(char* data, qint64 bytesToRead, qint64& bytesRead);
    // Moves the body's read position (the engine does so for ranges).
    bool SeekResponse(qint64 position);

  private:
    bool AnswerFile();
    bool AnswerFolder();
    void AnswerNotFound();
    void AnswerPage(int status, const QString& statusText, const QByteArray& page);

    QByteArray RawPath;  // the local path taken from the address; a folder's ends with "/"
    QString Path;        // the same as shown (DisplayName)
    std::unique_ptr<QIODevice> DataStream;  // the body: the open file or an in-memory page
    int Status = 0;
    QString StatusText;
    QString MimeType;
};

}  // namespace scheme
