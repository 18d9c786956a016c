#pragma once

#include <string>

namespace replacer {

// The private folder the program made for this replacer, for as long as the
// replacer runs: locked (a shared flock), so that the program it starts does
// not take it for an earlier upgrade's and remove it (its version file is
// still needed when the new program does not come up), and removed with what
// it holds when the replacer (or the watchdog it leaves) ends. A replacer run from any other folder
// (by hand, beside the program) neither locks nor removes anything.
class TOwnFolder {
  public:
    explicit TOwnFolder(const std::string& Folder);
    ~TOwnFolder();
    // Removes it now: the replacer is about to become another program, and
    // no destructor runs then.
    void Release();
    TOwnFolder(const TOwnFolder&) = delete;
    TOwnFolder& operator=(const TOwnFolder&) = delete;

  private:
    std::string folder_;
    int descriptor_ = -1;
};

}  // namespace replacer
