#pragma once

#include "common/program_file_names.h"

namespace replacer {

// The program writes the replacer into a private folder of the temporary
// folder named with this prefix (mkdtemp).
inline constexpr char kReplacerFolderPrefix[] = "quorvane-replacer-";

// The replacer's own name, and the list of the files it installs, written
// beside it by the program: one file name per line, each naming a
// "<name>.uTMP" file in the program's folder.
using common::kReplacerName;
inline constexpr char kManifestName[] = "Ruzozudo3.files";
// The version the upgrade installs, one line, also written by the program.
inline constexpr char kVersionName[] = "Ruzozudo3.version";

// When the new program did not come up and the old one was put back, the
// replacer records the refused version beside the program, in
// "<program>.refused-upgrade": a text file whose first line is the version
// as the info file published it. The restored program adds a second line,
// "told", once it has told the user.
using common::kRefusedUpgradeSuffix;

}  // namespace replacer
