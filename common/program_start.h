#pragma once

#include <QProcessEnvironment>
#include <QStringList>

namespace common {

// This process's environment without what the browser engine reads: another
// program built on the same engine would otherwise run its helpers from our
// executable, open our debugging port or run without a sandbox.
QProcessEnvironment ChildEnvironment();

// Starts arguments[0] with the rest as its arguments (never through a
// shell), detached, with the child environment and no standard input.
// False when there is no program or it cannot be started.
bool StartDetachedProgram(const QStringList& arguments);

}  // namespace common
