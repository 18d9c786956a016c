#pragma once

#include <string>
#include <vector>

namespace replacer {

// A file the replacer put in place, and where the file it replaced is kept
// (empty when the upgrade added the file).
struct InstalledFile {
    std::string Target;
    std::string Backup;
};

// Backups end in this; the program lists only ".uTMP" files.
inline constexpr const char* kBackupSuffix = ".uOLD";

// Keeps the file at Target under "<Target>.<Stamp>.uOLD" before it is
// replaced: a hard link (the same file, mode and all), else a copy synced to
// disk. Backup is set to that path, or left empty when there is no file at
// Target. False when the file could not be kept; then it must not be
// replaced.
bool KeepBackup(const std::string& Target, const std::string& Stamp, std::string& Backup);

// Puts every replaced file back by one rename of its backup (and removes the
// files the upgrade added), so that a kill at any moment leaves each file
// whole, old or new. The folder is synced afterwards.
void RestoreBackups(const std::vector<InstalledFile>& Installed, const std::string& Folder);

// Removes the backups in the folder other than this upgrade's: those of the
// earlier upgrade, which the new program's confirmation makes unneeded.
void RemoveEarlierBackups(const std::string& Folder, const std::vector<InstalledFile>& Installed);

// Flushes the folder's entries (renames, links) to disk.
void SyncFolder(const std::string& Folder);

}  // namespace replacer
