#include "upgrader/replacer/refused_upgrade_record.h"

#include <unistd.h>

#include <algorithm>

#include "upgrader/replacer/replacer_files.h"
#include "upgrader/replacer/small_files.h"

namespace replacer {

namespace {

constexpr size_t kMostVersionBytes = 64;

bool IsVersionByte(char Byte) {
    return Byte > 0x20 && Byte < 0x7f;
}

}  // namespace

std::string ReadUpgradeVersion(const std::string& OwnFolder) {
    bool missing = false;
    const std::string text = ReadSmallFile(OwnFolder + kVersionName, missing).value_or("");
    const std::string version(text.begin(),
                              std::find_if_not(text.begin(), text.end(), IsVersionByte));
    return version.empty() ? "unknown" : version.substr(0, kMostVersionBytes);
}

void RecordRefusedUpgrade(const std::string& ExecutablePath, const std::string& Version) {
    if (const int descriptor =
            WriteInPlace(ExecutablePath + kRefusedUpgradeSuffix, Version + '\n', false);
        descriptor >= 0)
        ::close(descriptor);
}

}  // namespace replacer
