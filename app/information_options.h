#pragma once

#include <optional>
#include <string>

namespace app {

// What "--version" (the version) or "--help" (the command line the program
// understands) asks to print; nothing for any other command line, which
// starts the program. Either answers before the engine starts.
std::optional<std::string> InformationRequested(int argc, char** argv);

}  // namespace app
