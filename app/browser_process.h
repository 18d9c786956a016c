#pragma once

#include "common/program_file_names.h"

// The browser process lives in a library beside the executable
// ("libquorvane-client.so"), which the executable's entry loads when the user,
// not the engine, started it: the engine's sub-processes run the same
// executable and never load the window, the upgrader or their libraries.

namespace app {

using common::kClientLibraryName;
inline constexpr char kBrowserProcessEntryName[] = "QuorvaneBrowserProcessMain";
inline constexpr char kClientVersionName[] = "QuorvaneClientVersion";

}  // namespace app

// The browser process from start to end; its result is the exit code.
extern "C" __attribute__((visibility("default"))) int QuorvaneBrowserProcessMain(int argc,
                                                                                 char** argv);

// The version the library was built as; the executable runs only a library
// of its own version.
extern "C" __attribute__((visibility("default"))) const char* QuorvaneClientVersion();
