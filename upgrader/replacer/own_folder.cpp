#include "upgrader/replacer/own_folder.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <filesystem>

#include "upgrader/replacer/replacer_files.h"

namespace replacer {

TOwnFolder::TOwnFolder(const std::string& Folder) {
    const std::filesystem::path path = std::filesystem::path(Folder).parent_path();
    std::error_code error;
    if (path.filename().string().rfind(kReplacerFolderPrefix, 0) != 0 ||
        !std::filesystem::exists(path / kManifestName, error))
        return;
    descriptor_ = ::open(path.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (descriptor_ >= 0 && ::flock(descriptor_, LOCK_SH) == 0)
        folder_ = path.string();
}

TOwnFolder::~TOwnFolder() {
    Release();
}

void TOwnFolder::Release() {
    std::error_code error;
    if (!folder_.empty())
        std::filesystem::remove_all(folder_, error);
    folder_.clear();
    if (descriptor_ >= 0)
        ::close(descriptor_);
    descriptor_ = -1;
}

}  // namespace replacer
