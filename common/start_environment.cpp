#include "common/start_environment.h"

#include <optional>

extern char** environ;

namespace common {

namespace {

std::optional<std::vector<std::string>> kept;

std::vector<std::string> PresentEnvironment() {
    std::vector<std::string> variables;
    for (char** variable = environ; *variable != nullptr; ++variable)
        variables.emplace_back(*variable);
    return variables;
}

}  // namespace

void KeepStartEnvironment() {
    kept = PresentEnvironment();
}

std::vector<std::string> StartEnvironment() {
    return kept ? *kept : PresentEnvironment();
}

}  // namespace common
