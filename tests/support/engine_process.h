#pragma once

#include "app/engine.h"

namespace test_support {

// Prepares a test or benchmark executable as the program prepares itself,
// including serving as the engine's sub-processes (without a sandbox, as
// test machines run as root). False in a sub-process role: that run is over
// and main() returns 0.
bool PrepareEngineProcess(int argc, char** argv, app::ApplicationArguments& arguments);

}  // namespace test_support
