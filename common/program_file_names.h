#pragma once

// Plain names, for the replacer (no Qt) as for the program.
namespace common {

// The files of the program beside its executable, by name or suffix: the
// client library, the update library, the replacer, the upgrade's downloads (".uTMP") and
// backups (".uOLD"), the journal and records named after the executable
// ("<executable>.pending-upgrade", ...) and the install's own list.
inline constexpr char kClientLibraryName[] = "libquorvane-client.so";
inline constexpr char kUpdateLibraryName[] = "libquorvane-updates.so";
inline constexpr char kReplacerName[] = "Ruzozudo3";
inline constexpr char kDownloadSuffix[] = ".uTMP";
inline constexpr char kBackupSuffix[] = ".uOLD";
inline constexpr char kPendingUpgradeSuffix[] = ".pending-upgrade";
inline constexpr char kRefusedUpgradeSuffix[] = ".refused-upgrade";
inline constexpr char kNewestUpdateSuffix[] = ".newest-update";
// The client's rollout number: kept across upgrades and installs.
inline constexpr char kRolloutNumberSuffix[] = ".rollout-number";
inline constexpr char kInstallListName[] = ".quorvane-install";

}  // namespace common
