#pragma once

#include <fstream>
#include <string>

namespace probe {

// Appends a line to "<the probe's own path>.args", where the test reads
// what each start of the probe did.
inline void RecordLine(const char* ownPath, const std::string& line) {
    std::ofstream(std::string(ownPath) + ".args", std::ios::app) << line << '\n';
}

// Records this start's arguments, tab-separated, and returns them as they
// were recorded.
inline std::string RecordArguments(int argc, char** argv) {
    std::string line;
    for (int i = 1; i < argc; ++i)
        line += (i > 1 ? "\t" : "") + std::string(argv[i]);
    RecordLine(argv[0], line);
    return line;
}

}  // namespace probe
