#pragma once

#include <QString>
#include <stdexcept>

#include "app/engine_settings.h"

namespace app {

// An operating-system error raised while the engine is being prepared; its
// text is "System Error.  Code: %d.\r\n%s".
class EOSError : public std::runtime_error {
  public:
    EOSError(int code, const QString& reason);
    int code() const { return code_; }

  private:
    int code_;
};

// Raised when the engine's files are there but not the ones this program was
// built against.
class EEngineVersionError : public std::runtime_error {
  public:
    EEngineVersionError();
};

// Folders the engine will read its resource packs and locales from.
QString EngineResourcesFolder(const EngineSettings& settings);
QString EngineLocalesFolder(const EngineSettings& settings);

// Qt WebEngine aborts the process when its resources are missing; they are
// checked first so the user gets the start-up error box instead. The ICU data
// comes from the system's ICU library, which the engine library links, so it
// cannot be missing once the program has been loaded at all.
void CheckEngineFiles(const EngineSettings& settings);

}  // namespace app
