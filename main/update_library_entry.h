#pragma once

#include <string>
#include <vector>

#include "common/program_file_names.h"

class QObject;

// The update code (the upgrader, its HTTP client, signatures and dialogs,
// with libcurl, OpenSSL, libsodium and GIO) lives in a library of its own,
// "libquorvane-updates.so" beside the executable. The window loads it when
// the first update check is due, so that a start does not load what only the
// check needs. These are its entries, found by name.

namespace main_window {

using common::kUpdateLibraryName;
inline constexpr char kCreateAutoUpgraderName[] = "QuorvaneCreateAutoUpgrader";
inline constexpr char kRunPendingReplacerName[] = "QuorvaneRunPendingReplacer";
inline constexpr char kUpdateLibraryVersionName[] = "QuorvaneUpdateLibraryVersion";

}  // namespace main_window

// The window's upgrader, configured as the program ships it and owned by
// Owner, its first check at once. Null, with a warning, when it could not be
// made.
extern "C" __attribute__((visibility("default"))) QObject* QuorvaneCreateAutoUpgrader(
    QObject* Owner);

// Runs the replacer of an upgrade that is ready, in this process, with the
// environment the program started with; returns at once when none is.
extern "C" __attribute__((visibility("default"))) void QuorvaneRunPendingReplacer(
    char** Argv, const std::vector<std::string>* Environment);

// The version the library was built as; the window loads only a library of
// its own version.
extern "C" __attribute__((visibility("default"))) const char* QuorvaneUpdateLibraryVersion();
