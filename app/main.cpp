// The program entry, in both roles. The engine starts its sub-processes from
// this same executable; they run here with Qt Core and Qt WebEngine Core only.
// Started by the user, the entry answers --version and --help, and ends when
// no window can show, before anything else; then it finishes an upgrade that
// was cut short (before anything of a new version is loaded), loads the
// browser process from the library beside the executable and hands over to
// it. A new version that an upgrade's watchdog waits for and that fails
// before it is up hands this process back to the old version.
#include <cstdio>

#include "app/client_library.h"
#include "app/display_check.h"
#include "app/engine_sub_process.h"
#include "app/information_options.h"
#include "upgrader/replacer/unfinished_upgrade.h"
#include "upgrader/replacer/watchdog.h"

int main(int argc, char** argv) {
    if (app::IsEngineSubProcess(argc, argv)) {
        app::RunEngineSubProcess(argc, argv);
        return 0;
    }
    if (const std::optional<std::string> text = app::InformationRequested(argc, argv)) {
        std::fputs(text->c_str(), stdout);
        return std::fflush(stdout) == 0 ? 0 : 1;
    }
    if (!app::DisplayReachable()) {
        std::fputs(
            "quorvane: cannot open a display (DISPLAY or WAYLAND_DISPLAY); the client "
            "shows a window and starts only in a desktop session\n",
            stderr);
        return 1;
    }
    if (const std::optional<int> finished = replacer::FinishUnfinishedUpgrade(argc, argv))
        return *finished;
    const replacer::TWatchedStart watched = replacer::TWatchedStart::FromEnvironment();
    return watched.Finish(app::RunBrowserProcessFromLibrary(argc, argv), argv);
}
