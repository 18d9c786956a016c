#pragma once

#include "common/program_file_names.h"

#include <functional>
#include <optional>
#include <string>

#include "upgrader/replacer/replacer_command_line.h"
#include "upgrader/replacer/upgrade_journal.h"

namespace replacer {

// The name a downloaded file carries until it is put in place.
using common::kDownloadSuffix;

// Puts Downloaded in place of Target by renaming it over Target, so that at
// any moment (a crash, a kill) Target is either the old file or the new one,
// whole. The new file gets the old one's permission bits (and, when we run
// as root, its owner) and is flushed to disk before the rename. False when
// anything fails; then Target is untouched.
bool ReplaceFile(const std::string& Downloaded, const std::string& Target);

// In setup mode: replaces each file of the request's list by its
// "<Name>.uTMP" regular file in the request's folder (without a list: every
// one the folder lists, in its order), skipping each whose target another
// process uses (its ".uTMP" file stays) and the program's own executable.
// The first replaced file whose name ends in "exe" is the setup program: it
// is made executable and its path returned (empty without one).
std::string ReplaceInSetupMode(const ReplacerRequest& Request);

// A self-upgrade installs all of its files or none. Checks that every file
// of the list is downloaded (a regular "<Name>.uTMP" file), that no other
// process uses its target and that the target is a regular file or absent,
// then keeps each old file as its backup. The journal of the upgrade, or
// nothing (and no backup left) when any of that fails.
std::optional<UpgradeJournal> PrepareSelfUpgrade(const ReplacerRequest& Request,
                                                 const std::string& Stamp,
                                                 const std::string& Version);

// Renames each file of the journal into place (ReplaceFile), calling
// AfterFirst after the first; false at the first that fails.
bool InstallFiles(const ReplacerRequest& Request, const UpgradeJournal& Journal,
                  const std::function<void()>& AfterFirst);

// Adds execute permission wherever the file has read permission.
void MakeExecutable(const std::string& Path);

}  // namespace replacer
