#pragma once

namespace replacer {

// The replacer's own name, and the list of the files it installs, written
// beside it by the program: one file name per line, each naming a
// "<name>.uTMP" file in the program's folder.
inline constexpr char kReplacerName[] = "Ruzozudo3";
inline constexpr char kManifestName[] = "Ruzozudo3.files";

}  // namespace replacer
