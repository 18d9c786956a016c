#pragma once

#include <QProcess>
#include <QString>
#include <QStringList>

namespace test_support {

// Installs built programs (the client first of all) in `folder` as a user's
// program folder holds them: with their modes, the tool-bar pictures in
// "ico" and a home page file that opens `homeUrl`. Fails the test when a
// program cannot be copied.
void InstallClient(const QString& folder, const QString& homeUrl,
                   const QStringList& programs = {QStringLiteral("quorvane"),
                                                  QStringLiteral("libquorvane-client.so"),
                                                  QStringLiteral("libquorvane-updates.so")});

// What a program prints, run in a UTF-8 locale (xdotool reads captions only so).
QByteArray ProgramOutput(const QString& program, const QStringList& arguments);

// Visible windows whose title matches `title` (a regular expression), found
// with xdotool.
QStringList WindowsNamed(const QString& title);

// The process IDs of a process's children.
QStringList ChildProcesses(qint64 pid);

// The process ID and those of every process below it.
QStringList ProcessTree(qint64 pid);

// At the end of its scope, kills the process when it still runs, with every
// process below it (the engine's zygotes and what they forked), which would
// otherwise outlive a client that a failed test leaves running.
class ProcessTreeKiller {
  public:
    explicit ProcessTreeKiller(const QProcess& process) : process_(process) {}
    ~ProcessTreeKiller();

  private:
    const QProcess& process_;
};

}  // namespace test_support
