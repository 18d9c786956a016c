#pragma once

#include <QString>

namespace upgrader {

// The system's temporary folder (TMPDIR, else /tmp) ending with "/"; when that
// folder does not exist, the executable's folder.
QString GetTempDirectory();

}  // namespace upgrader
