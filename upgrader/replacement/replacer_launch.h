#pragma once

#include <functional>

#include <QString>

#include "upgrader/info/upgrader_info.h"

namespace upgrader {

// Where the replacer is written when an upgrade restarts the program: the
// temporary folder and "Ruzozudo3". Taken once, on first use.
const QString& ReplacerPath();

// Removes the replacer an earlier upgrade left in the temporary folder.
void DeleteReplacerFile();

// Writes the replacer carried in the program to Path as a new file only we
// may run (mode 0700). Whatever is at Path is removed first; when it cannot
// be (another user's file in a shared temporary folder, a folder), nothing is
// written and the result is false: a file we did not write is never started.
bool WriteReplacer(const QString& Path);

// Starts the replacer at ReplacerFile with the argument vector
// [ExecutablePath, "+" + Params], in WorkingFolder, detached from us. Paths
// with blanks or "+" reach it unchanged. Its standard input and output are
// the null device. False when it could not be started.
bool StartReplacer(const QString& ReplacerFile, const QString& ExecutablePath,
                   const QString& Params, const QString& WorkingFolder);

// Writes the replacer to ReplacerPath() and starts it for the running program
// with Params (RestartParameter), in the current folder so the restarted
// program finds its "ico" folder as before. False when that failed.
bool LaunchReplacer(const QString& Params);

// Starts the replacer with RestartParameter(RestartParams, Method) and, once it
// runs, closes the program: through CloseApp when given (the upgrader's
// OnDoOwnCloseAppMethod), else CloseApplication. When the replacer could not
// be started the program stays open (nothing would start it again) and the
// result is false; the downloaded files stay for a later upgrade.
bool RestartApplication(const QString& RestartParams, TacUpgradeMethod Method,
                        const std::function<void()>& CloseApp);

}  // namespace upgrader
