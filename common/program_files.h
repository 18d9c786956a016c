#pragma once

#include <QString>

#include "common/program_file_names.h"

namespace common {

// Whether a file saved at Path would be one of the program's own files in
// its folder (links to that folder resolved): what a page offers for
// download must never become the program, an upgrade's backup, or a record
// the upgrader trusts.
bool IsProgramFile(const QString& Path);

}  // namespace common
