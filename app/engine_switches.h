#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>
#include <utility>

#include "app/engine_settings.h"

namespace app {

// What Qt WebEngine reads before it starts: Chromium switches (handed to the
// application object after "--webEngineArgs") and environment variables.
struct EngineEnvironment {
    QStringList switches;
    QList<std::pair<QByteArray, QByteArray>> variables;

    QByteArray variable(const QByteArray& name) const;
};

// Turns the settings into switches and variables. `executablePath` is the
// program itself, which the engine starts for its sub-processes unless a
// sub-process path is set.
EngineEnvironment MapEngineSettings(const EngineSettings& settings, const QString& executablePath);

// The engine switches the user gave on the command line ("--name" or
// "--name=value"), which reach the engine unless command-line arguments are
// disabled; an address for the debugging server is not taken.
QStringList EngineSwitchesOf(const QStringList& commandLine);

// The command line as text, for the rules above.
QStringList CommandLineOf(int argc, char** argv);

// The debugging port the user asked for with the engine's own switches:
// "--remote-debugging-port=N" on the command line, or the variable
// QTWEBENGINE_REMOTE_DEBUGGING ("N" or "address:N"; the address is not
// taken: the server listens on 127.0.0.1 only). 0 when not asked.
int AskedDebuggingPort(const QStringList& commandLine, const QByteArray& variable);

}  // namespace app
