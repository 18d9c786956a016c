#include "app/information_options.h"

#include <string_view>

#include "common/program_version.h"

namespace app {

namespace {

constexpr std::string_view kUsage =
    "Usage: quorvane [--SWITCH[=VALUE] ...] [/afterupgrade]\n"
    "\n"
    "Starts the Quorvane client, a browser for the Quorvane survey platform.\n"
    "\n"
    "  --version          print the version and exit\n"
    "  --help             print this text and exit\n"
    "  --SWITCH[=VALUE]   any other switch goes to the browser engine (Chromium)\n"
    "  /afterupgrade      given by the upgrader when it restarts the program\n"
    "                     after an upgrade\n"
    "\n"
    "Environment: QUORVANE_UPDATE_HOST=host[:port] names the update server;\n"
    "QTWEBENGINE_REMOTE_DEBUGGING=127.0.0.1:PORT (or --remote-debugging-port=PORT)\n"
    "opens the engine's debugging server on this machine only (off by default).\n";

}  // namespace

std::optional<std::string> InformationRequested(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        const std::string_view argument = argv[i];
        if (argument == "--version")
            return std::string("quorvane ") + common::kProgramVersion + "\n";
        if (argument == "--help" || argument == "-h")
            return std::string(kUsage);
    }
    return std::nullopt;
}

}  // namespace app
