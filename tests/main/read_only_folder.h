#pragma once

#include <QString>

// Makes a folder that cannot be written for the calling thread, even as
// root: the folder loses its write bits, and the thread gives up its right to
// pass over permission bits (capabilities are per thread, so the engine's
// threads keep theirs). Both are given back at destruction.
class ReadOnlyFolder {
  public:
    explicit ReadOnlyFolder(const QString& folder);
    ~ReadOnlyFolder();
    ReadOnlyFolder(const ReadOnlyFolder&) = delete;
    ReadOnlyFolder& operator=(const ReadOnlyFolder&) = delete;

  private:
    QString folder_;
    unsigned oldMode_ = 0;
    bool capabilitiesDropped_ = false;
};
