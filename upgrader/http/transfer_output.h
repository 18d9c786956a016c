#pragma once

#include <QBuffer>
#include <QString>
#include <memory>
#include <mutex>

#include "upgrader/http/file_stream.h"
#include "upgrader/utils/file_attributes.h"

namespace upgrader {

// Where a transfer's body goes: the output file or a memory stream. The
// worker creates and writes it; the GUI thread reads it in handlers and may
// release it at any moment (an abort by force, ReleaseOutput), so every
// access is locked and a released output takes no more data.
class TauTransferOutput {
  public:
    // Opens the output file (see OpenOutputFile); on failure sets Error.
    bool OpenFile(const QString& FileName, bool Truncate, QString& Error);
    // A memory stream, with room for ExpectedSize bytes (within reason).
    void UseMemory(qint64 ExpectedSize);

    bool Exists() const;
    // The output file was created (and not yet released).
    bool FileCreated() const;
    QString FileName() const;
    // The stream for handlers: the file or the memory stream; null when none.
    QIODevice* Stream() const;
    void Rewind();

    // Places the file at Offset for a resumed download; false when the file
    // is shorter than that.
    bool SeekFile(qint64 Offset);
    // Checks received data against what the file holds at the current
    // position: the number of bytes that match and are already there (0
    // when the file ends here), or -1 when they differ. Matching bytes are
    // skipped and anything the file held after them is cut off, so the rest
    // of the body continues right there.
    qint64 VerifyAndSkip(const char* Data, qint64 Size);
    // False when the output is gone or the data could not all be written.
    bool Write(const char* Data, qint64 Size);

    struct Released {
        bool fileCreated = false;
        QString fileName;
    };
    // Closes and frees the stream; a created file gets the Incomplete
    // attributes (unless they are the archive attribute alone). Says what
    // there was.
    Released Release(TauFileAttributes Incomplete);

  private:
    void Adopt(QIODevice* stream);

    mutable std::mutex mutex_;
    std::unique_ptr<TauFileStream> file_;
    std::unique_ptr<QBuffer> memory_;
    QString fileName_;
};

}  // namespace upgrader
