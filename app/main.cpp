// The program entry, in both roles. The engine starts its sub-processes from
// this same executable; they run here with Qt Core and Qt WebEngine Core only.
// Started by the user, the entry first finishes an upgrade that was cut short
// (before anything of a new version is loaded), then loads the browser
// process from the library beside the executable and hands over to it.
#include "app/client_library.h"
#include "app/engine_sub_process.h"
#include "upgrader/replacer/unfinished_upgrade.h"

int main(int argc, char** argv) {
    if (app::IsEngineSubProcess(argc, argv)) {
        app::RunEngineSubProcess(argc, argv);
        return 0;
    }
    if (const std::optional<int> finished = replacer::FinishUnfinishedUpgrade(argc, argv))
        return *finished;
    return app::RunBrowserProcessFromLibrary(argc, argv);
}
