#pragma once

namespace app {

// Loads the client library from the executable's folder and runs the browser
// process in it; its result is the exit code. A library that is missing or
// broken is reported on standard error with exit code 1.
int RunBrowserProcessFromLibrary(int argc, char** argv);

}  // namespace app
