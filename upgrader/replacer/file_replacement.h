#pragma once

#include <string>

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

// Replaces each file of the request's list by its "<Name>.uTMP" regular file
// in the request's folder (without a list: every one the folder lists, in its
// order), skipping each whose target another process
// uses (its ".uTMP" file stays). In setup mode the program's own executable
// is never replaced, and the first replaced file whose name ends in "exe"
// (other than the program) becomes the setup program: it is made executable
// and its path returned. Otherwise, and without one, the result is empty.
std::string ReplaceDownloadedFiles(const ReplacerRequest& Request);

// Adds execute permission wherever the file has read permission.
void MakeExecutable(const std::string& Path);

}  // namespace replacer
