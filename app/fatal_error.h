#pragma once

#include <exception>

namespace app {

// Shows the one "Application Error" box for an error raised before the message
// loop runs (also written to standard error) and returns the exit code 1.
int ReportFatalStartupError(const std::exception& error, int argc, char** argv);

}  // namespace app
