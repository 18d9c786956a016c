#include "upgrader/replacer/small_files.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>

namespace replacer {

bool WriteAll(int Descriptor, const char* Data, size_t Size) {
    while (Size > 0) {
        const ssize_t written = ::write(Descriptor, Data, Size);
        if (written <= 0)
            return false;
        Data += written;
        Size -= size_t(written);
    }
    return true;
}

std::optional<std::string> ReadAll(int Descriptor) {
    std::string bytes;
    char buffer[4096];
    ssize_t got = 0;
    while ((got = ::read(Descriptor, buffer, sizeof buffer)) > 0 &&
           bytes.size() <= kMostSmallFileBytes)
        bytes.append(buffer, size_t(got));
    if (got != 0 || bytes.size() > kMostSmallFileBytes)
        return std::nullopt;
    return bytes;
}

std::optional<std::string> ReadSmallFile(const std::string& Path, bool& Missing) {
    const int descriptor = ::open(Path.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    Missing = descriptor < 0 && errno == ENOENT;
    if (descriptor < 0)
        return std::nullopt;
    std::optional<std::string> bytes = ReadAll(descriptor);
    ::close(descriptor);
    return bytes;
}

int WriteInPlace(const std::string& Path, const std::string& Bytes, bool Locked) {
    const std::string part = Path + ".part";
    ::unlink(part.c_str());
    const int descriptor =
        ::open(part.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0644);
    if (descriptor < 0)
        return -1;
    if ((Locked && ::flock(descriptor, LOCK_EX | LOCK_NB) != 0) ||
        !WriteAll(descriptor, Bytes.data(), Bytes.size()) || ::fsync(descriptor) != 0 ||
        std::rename(part.c_str(), Path.c_str()) != 0) {
        ::unlink(part.c_str());
        ::close(descriptor);
        return -1;
    }
    return descriptor;
}

std::string FolderOf(const std::string& Path) {
    const auto slash = Path.rfind('/');
    return slash == std::string::npos ? std::string("./") : Path.substr(0, slash + 1);
}

void SyncFolder(const std::string& Folder) {
    const int descriptor = ::open(Folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (descriptor < 0)
        return;
    ::fsync(descriptor);
    ::close(descriptor);
}

}  // namespace replacer
