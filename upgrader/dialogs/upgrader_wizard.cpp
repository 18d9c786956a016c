#include "upgrader/dialogs/upgrader_wizard.h"

namespace upgrader {

void TauAutoUpgraderWizard::SetLanguage(TauAutoUpgraderLanguage Language) {
    if (Language == language_)
        return;
    language_ = Language;
    if (Language == wlAuto)
        SelectLanguageAuto();
    else
        SetLanguageBase(LanguageBaseOf(Language));
}

}  // namespace upgrader
