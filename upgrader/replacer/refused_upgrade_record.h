#pragma once

#include <string>

namespace replacer {

// The version the program wrote beside the replacer (kVersionName) for this
// upgrade; "unknown" without one.
std::string ReadUpgradeVersion(const std::string& OwnFolder);

// Writes "<ExecutablePath>.refused-upgrade" with the version (see
// kRefusedUpgradeSuffix), replacing any earlier record whole.
void RecordRefusedUpgrade(const std::string& ExecutablePath, const std::string& Version);

}  // namespace replacer
