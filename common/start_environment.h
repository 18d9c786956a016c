#pragma once

#include <string>
#include <vector>

namespace common {

// The environment as the program found it, kept before the engine's own
// variables are set: a program of ours that takes over from this one (the
// upgrade's replacer, then the new version) runs as this one was asked to,
// with the user's debugging switch and nothing the engine setup added.
void KeepStartEnvironment();

// The kept environment ("NAME=value" entries), or the present one when none
// was kept.
std::vector<std::string> StartEnvironment();

}  // namespace common
