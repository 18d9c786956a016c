// Stands in for the program (and for a setup program) in the replacer tests.
// Each start appends one line to "<own path>.args": its arguments separated
// by tabs; "--sleep=MS" keeps it running, and when it ends after a sleep it
// appends "ended". Started by the replacer after an upgrade, it confirms
// that it is up.
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <thread>

#include "tests/upgrader/probe_arguments.h"

int main(int argc, char** argv) {
    probe::RecordArguments(argc, argv);
    // Started by the replacer after an upgrade: it is up.
    if (const char* confirm = std::getenv("QUORVANE_UPGRADE_CONFIRM_FD"))
        (void)!::write(std::atoi(confirm), "1", 1);
    const std::string first = argc > 1 ? argv[1] : "";
    if (first.rfind("--sleep=", 0) == 0) {
        std::this_thread::sleep_for(std::chrono::milliseconds(std::stoi(first.substr(8))));
        probe::RecordLine(argv[0], "ended");
    }
    return 0;
}
