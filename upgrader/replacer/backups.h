#pragma once

#include "common/program_file_names.h"

#include <optional>
#include <string>

#include "upgrader/replacer/upgrade_journal.h"

namespace replacer {

// Backups end in this; the program lists only ".uTMP" files.
using common::kBackupSuffix;

// Keeps the file at Target under Backup before it is replaced: a hard link
// (the same file, mode and all), else a copy synced to disk. A file already
// at Backup is never replaced. False when the file could not be kept; then it
// must not be replaced.
bool KeepBackup(const std::string& Target, const std::string& Backup);

// The identity of the regular file at Path (not following a link).
std::optional<FileId> RegularFileId(const std::string& Path);

// Whether every file of the journal is the new one, in place.
bool UpgradeInPlace(const std::string& Folder, const UpgradeJournal& Journal);

// Puts every replaced file back by one rename of its backup, and removes the
// files the upgrade added; a file found at a backup's name that is not the
// backup the journal recorded stays where it is, and so does the file in
// place, so that a kill at any moment leaves each file
// whole, old or new, and a second run finishes the first. The folder is
// synced afterwards.
void UndoUpgrade(const std::string& Folder, const UpgradeJournal& Journal);

// Removes the backups in the folder other than this upgrade's: those of the
// earlier upgrade, which the new program's confirmation makes unneeded.
void RemoveEarlierBackups(const std::string& Folder, const UpgradeJournal& Journal);

}  // namespace replacer
