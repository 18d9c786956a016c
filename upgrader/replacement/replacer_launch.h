#pragma once

#include <QString>
#include <QStringList>
#include <functional>
#include <string>
#include <vector>

#include "upgrader/info/upgrader_info.h"

namespace upgrader {

// Writes the replacer carried in the program to Path as a new file only we
// may run (mode 0700). Whatever is at Path is removed first; when it cannot
// be (another user's file in a shared temporary folder, a folder), nothing is
// written and the result is false: a file we did not write is never started.
bool WriteReplacer(const QString& Path);

// The list of the files the replacer installs, written beside it: the name
// of each downloaded file without its ".uTMP", one per line. Only these are
// put in place; a stray or partial ".uTMP" file beside the program is not.
bool WriteReplacerManifest(const QString& Path, const QStringList& DownloadedFiles);

// Writes the replacer, the list of DownloadedFiles (".uTMP" paths) and the
// Version they make up into a new private folder, and has the replacer run
// for the running program with Params (RestartParameter) once the program
// ends (RunPendingReplacer). False when any of that failed.
bool LaunchReplacer(const QString& Params, const QStringList& DownloadedFiles,
                    const QByteArray& Version = {});

// At the program's very end, once its windows and the engine are gone: the
// replacer of a launched upgrade is executed in this process, with the
// argument vector [program path, "+" + Params] (blanks and "+" reach it
// unchanged), Environment (the one the program started with) and its current
// folder, so the restarted program finds its "ico" folder as before. So the
// process that was started (by a user, a launcher or a supervisor waiting
// on it) goes on as the replacer and then as the new version. Returns at
// once without a launched upgrade; should the replacer not run, the program
// starts again as it was, with Argv.
void RunPendingReplacer(char** Argv, std::vector<std::string> Environment);

// Launches the replacer with RestartParameter(RestartParams, Method) and
// closes the program: through CloseApp when given (the upgrader's
// OnDoOwnCloseAppMethod), else CloseApplication. When the replacer could not
// be written the program stays open and the result is false.
bool RestartApplication(const QString& RestartParams, TacUpgradeMethod Method,
                        const QStringList& DownloadedFiles, const std::function<void()>& CloseApp,
                        const QByteArray& Version = {});

}  // namespace upgrader
