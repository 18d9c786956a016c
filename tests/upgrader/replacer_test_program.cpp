// Stands in for the program (and for a setup program) in the replacer tests.
// Each start appends one line to "<own path>.args": its arguments separated
// by tabs; "--sleep=MS" keeps it running, "--hold=PATH" keeps PATH open while
// it runs. When it ends after a sleep it appends "ended". Started by the
// replacer after an upgrade, it confirms that it is up.
#include <fcntl.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <string>
#include <thread>

namespace {

void Record(const std::string& Program, const std::string& Line) {
    std::ofstream(Program + ".args", std::ios::app) << Line << '\n';
}

}  // namespace

int main(int argc, char** argv) {
    const std::string program = argv[0];
    std::string line;
    int sleepMs = 0;
    for (int i = 1; i < argc; ++i) {
        const std::string argument = argv[i];
        line += (i > 1 ? "\t" : "") + argument;
        if (argument.rfind("--sleep=", 0) == 0)
            sleepMs = std::stoi(argument.substr(8));
        if (argument.rfind("--hold=", 0) == 0)
            ::open(argument.substr(7).c_str(), O_RDONLY);
    }
    Record(program, line);
    // Started by the replacer after an upgrade: it is up.
    if (const char* confirm = std::getenv("QUORVANE_UPGRADE_CONFIRM_FD"))
        (void)!::write(std::atoi(confirm), "1", 1);
    if (sleepMs > 0) {
        std::this_thread::sleep_for(std::chrono::milliseconds(sleepMs));
        Record(program, "ended");
    }
    return 0;
}
