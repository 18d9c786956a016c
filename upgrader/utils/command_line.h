#pragma once

#include <QString>

namespace upgrader {

// Splits a registered command line into the program (left in Command) and
// its parameters:
// - a quoted program ("C:\Program Files\x.exe" "%1") loses its quotes, and
//   so do the first two quotes of the parameters;
// - otherwise the first of " -", " /", " \", ",", " %" that occurs splits
//   it, unless that would cut the program's file extension off;
// - a ".dll" command that names RUNDLL keeps the DLL's entry in the program.
// The same rules split desktop Exec lines such as "firefox %u".
void SplitCommandLine(QString& Command, QString& Parameters);

}  // namespace upgrader
