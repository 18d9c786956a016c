#pragma once

#include <functional>

#include <QString>
#include <QStringList>

#include "upgrader/info/upgrader_info.h"

namespace upgrader {

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

// The list of the files the replacer installs, written beside it: the name
// of each downloaded file without its ".uTMP", one per line. Only these are
// put in place; a stray or partial ".uTMP" file beside the program is not.
bool WriteReplacerManifest(const QString& Path, const QStringList& DownloadedFiles);

// Writes the replacer, the list of DownloadedFiles (".uTMP" paths) and the
// Version they make up into a new private folder and starts it for the
// running program with Params (RestartParameter), in the current folder so
// the restarted program finds its "ico" folder as before. False when any of
// that failed.
bool LaunchReplacer(const QString& Params, const QStringList& DownloadedFiles,
                    const QByteArray& Version = {});

// Starts the replacer with RestartParameter(RestartParams, Method) and, once it
// runs, closes the program: through CloseApp when given (the upgrader's
// OnDoOwnCloseAppMethod), else CloseApplication. When the replacer could not
// be started the program stays open (nothing would start it again) and the
// result is false.
bool RestartApplication(const QString& RestartParams, TacUpgradeMethod Method,
                        const QStringList& DownloadedFiles, const std::function<void()>& CloseApp,
                        const QByteArray& Version = {});

}  // namespace upgrader
