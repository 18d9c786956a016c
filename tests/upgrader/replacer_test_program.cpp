// Stands in for the program (and for a setup program) in the replacer tests.
// Like the program, it first finishes an upgrade whose replacer was killed.
// Each start then appends one line to "<own path>.args": its arguments
// separated by tabs; "--sleep=MS" keeps it running, and when it ends after a
// sleep it appends "ended". A "client.lib" beside it that begins with
// "broken" stands in for a client library that does not load: it appends
// "broken" and ends with 1, or, as the program does, hands its process back
// to the old version when an upgrade's watchdog waits for it; "hangs", for
// a client that never comes up: it ends the same way once it gets SIGTERM
// (appending "asked to end"). Otherwise,
// started after an upgrade, it confirms that it is up.
#include <unistd.h>

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <thread>

#include "tests/upgrader/probe_arguments.h"
#include "upgrader/replacer/unfinished_upgrade.h"
#include "upgrader/replacer/watchdog.h"

namespace {

volatile sig_atomic_t askedToEnd = 0;

// Like the client, which closes its window on SIGTERM and ends.
int HangUntilAskedToEnd(const char* Program) {
    std::signal(SIGTERM, [](int) { askedToEnd = 1; });
    while (askedToEnd == 0)
        ::pause();
    probe::RecordLine(Program, "asked to end");
    return 1;
}

int Run(int argc, char** argv) {
    probe::RecordArguments(argc, argv);
    const auto library = std::filesystem::canonical("/proc/self/exe").parent_path() / "client.lib";
    std::string libraryText;
    std::ifstream(library) >> libraryText;
    if (libraryText == "broken") {
        probe::RecordLine(argv[0], "broken");
        return 1;
    }
    if (libraryText == "hangs")
        return HangUntilAskedToEnd(argv[0]);
    if (const char* confirm = std::getenv("QUORVANE_UPGRADE_CONFIRM_FD")) {
        (void)!::write(std::atoi(confirm), "1", 1);
        ::close(std::atoi(confirm));
    }
    const std::string first = argc > 1 ? argv[1] : "";
    if (first.rfind("--sleep=", 0) == 0) {
        std::this_thread::sleep_for(std::chrono::milliseconds(std::stoi(first.substr(8))));
        probe::RecordLine(argv[0], "ended");
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (const std::optional<int> finished = replacer::FinishUnfinishedUpgrade(argc, argv))
        return *finished;
    const replacer::TWatchedStart watched = replacer::TWatchedStart::FromEnvironment();
    return watched.Finish(Run(argc, argv), argv);
}
