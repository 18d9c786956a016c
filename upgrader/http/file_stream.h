#pragma once

#include <QFile>
#include <QString>
#include <memory>

namespace upgrader {

// The output file of a transfer, open for reading and writing.
class TauFileStream : public QFile {
  public:
    using QFile::QFile;
};

// Opens the output file: created fresh (emptied) when Truncate, else opened
// as it is or created when missing. A symbolic link at its place is removed
// first and never followed. A read-only file is made writable for the
// opening and gets its attributes back right after, so the open stream
// writes while the file stays read-only for others. On failure gives null
// and sets Error to "Cannot create file "<absolute path>". <system message>".
std::unique_ptr<TauFileStream> OpenOutputFile(const QString& FileName, bool Truncate,
                                              QString& Error);

}  // namespace upgrader
