#pragma once

#include <QString>

namespace common {

// Full path of the running executable, read from the system so that it is
// known before (and without) an application object.
QString ExecutablePath();

// The executable's folder, ending with "/". The favorites file, the home page
// file, proposed downloads and the upgrade's temporary files live here.
QString ExecutableFolder();

}  // namespace common
