#pragma once

#include <QPixmap>

#include "upgrader/texts/upgrader_language.h"

namespace upgrader {

// The download wizard's settings, owned by the upgrader.
class TauAutoUpgraderWizard {
  public:
    bool Enabled = true;            // show the wizard while downloading
    bool HideFileLocation = false;  // hide the address of the file being downloaded
    QPixmap Pic118x218;             // replaces the side picture when not empty
    bool StayOnTop = true;          // keep the wizard above other windows

    TauAutoUpgraderLanguage Language() const { return language_; }
    // A new value sets the language of all texts of every upgrader of the
    // process: a language its own, wlAuto the system's (SelectLanguageAuto).
    // A new wizard holds wlAuto without changing the language in use.
    void SetLanguage(TauAutoUpgraderLanguage Language);

  private:
    TauAutoUpgraderLanguage language_ = wlAuto;
};

}  // namespace upgrader
