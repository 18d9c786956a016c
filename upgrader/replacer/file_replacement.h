#pragma once

#include <string>
#include <vector>

#include "upgrader/replacer/backups.h"

#include "upgrader/replacer/replacer_command_line.h"

namespace replacer {

// The name a downloaded file carries until it is put in place.
inline constexpr const char* kDownloadSuffix = ".uTMP";

// Puts Downloaded in place of Target by renaming it over Target, so that at
// any moment (a crash, a kill) Target is either the old file or the new one,
// whole. The new file gets the old one's permission bits (and, when we run
// as root, its owner) and is flushed to disk before the rename. False when
// anything fails; then Target is untouched.
bool ReplaceFile(const std::string& Downloaded, const std::string& Target);

// What a replacement did: the files put in place, and in setup mode the
// setup program to run (empty without one).
struct ReplacedFiles {
    std::vector<InstalledFile> Installed;
    std::string SetupProgram;
};

// Replaces each file of the request's list by its "<Name>.uTMP" regular file
// in the request's folder (without a list: every one the folder lists, in its
// order), skipping each whose target another process uses (its ".uTMP" file
// stays). With a BackupStamp each replaced file is first kept as a backup
// (KeepBackup); one that cannot be kept is not replaced. In setup mode the
// program's own executable is never replaced, and the first replaced file
// whose name ends in "exe" (other than the program) becomes the setup
// program: it is made executable.
ReplacedFiles ReplaceDownloadedFiles(const ReplacerRequest& Request,
                                     const std::string& BackupStamp = {});

// Adds execute permission wherever the file has read permission.
void MakeExecutable(const std::string& Path);

}  // namespace replacer
