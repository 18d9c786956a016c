#pragma once

#include <QString>

namespace test_support {

// Takes permission bits from a folder for the calling thread, even as root:
// the folder loses the given bits (0222: it cannot be written; 0111: it
// cannot be searched; 0444: it cannot be read), and the thread gives up its
// rights to pass over permission bits (capabilities are per thread, so the
// engine's threads keep theirs). Both are given back at destruction.
class RestrictedFolder {
  public:
    RestrictedFolder(const QString& folder, unsigned removedBits);
    ~RestrictedFolder();
    RestrictedFolder(const RestrictedFolder&) = delete;
    RestrictedFolder& operator=(const RestrictedFolder&) = delete;

  private:
    QString folder_;
    unsigned oldMode_ = 0;
    bool capabilitiesDropped_ = false;
};

}  // namespace test_support
