#include "upgrader/replacer/refused_upgrade_record.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>

#include "upgrader/replacer/replacer_files.h"

namespace replacer {

namespace {

constexpr size_t kMostVersionBytes = 64;

bool IsVersionByte(char Byte) {
    return Byte > 0x20 && Byte < 0x7f;
}

}  // namespace

std::string ReadUpgradeVersion(const std::string& OwnFolder) {
    const std::string path = OwnFolder + kVersionName;
    const int descriptor = ::open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    char bytes[kMostVersionBytes];
    const ssize_t got = descriptor < 0 ? -1 : ::read(descriptor, bytes, sizeof bytes);
    if (descriptor >= 0)
        ::close(descriptor);
    if (got <= 0)
        return "unknown";
    const std::string text(bytes, size_t(got));
    const std::string version(text.begin(),
                              std::find_if_not(text.begin(), text.end(), IsVersionByte));
    return version.empty() ? "unknown" : version;
}

void RecordRefusedUpgrade(const std::string& ExecutablePath, const std::string& Version) {
    const std::string record = ExecutablePath + kRefusedUpgradeSuffix;
    const std::string part = record + ".part";
    const int descriptor =
        ::open(part.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_NOFOLLOW | O_CLOEXEC, 0644);
    if (descriptor < 0)
        return;
    const std::string line = Version + '\n';
    const bool written = ::write(descriptor, line.data(), line.size()) == ssize_t(line.size()) &&
                         ::fsync(descriptor) == 0;
    ::close(descriptor);
    if (!written || std::rename(part.c_str(), record.c_str()) != 0)
        ::unlink(part.c_str());
}

}  // namespace replacer
