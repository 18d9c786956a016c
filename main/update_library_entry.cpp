// The entries of the update library.
#include "main/update_library_entry.h"

#include <exception>

#include "common/program_version.h"
#include "main/auto_upgrader_config.h"
#include "upgrader/auto/auto_upgrader.h"
#include "upgrader/replacement/replacer_launch.h"

QObject* QuorvaneCreateAutoUpgrader(QObject* Owner) {
    try {
        return main_window::CreateAutoUpgrader(Owner);
    } catch (const std::exception& error) {
        qWarning("The upgrader could not be made: %s", error.what());
        return nullptr;
    }
}

void QuorvaneRunPendingReplacer(char** Argv, const std::vector<std::string>* Environment) {
    upgrader::RunPendingReplacer(Argv, *Environment);
}

const char* QuorvaneUpdateLibraryVersion() {
    return common::kProgramVersion;
}
