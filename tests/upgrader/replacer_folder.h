#pragma once

#include <QByteArray>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <optional>

#include "tests/support/file_contents.h"

namespace replacer_test {

// A temporary program folder for the replacer tests: the stand-in program as
// the old executable, downloaded ".uTMP" files beside it, and the records the
// stand-in leaves on each start.
class ProgramFolder {
  public:
    explicit ProgramFolder(const QString& FolderName);

    QString Path(const QString& Name) const { return folder_ + Name; }
    QString ProgramPath() const { return Path("quorvane"); }
    // The replacer's parameters for a self-upgrade of the program.
    QStringList SelfUpgrade() const { return {ProgramPath(), "+/afterupgrade0"}; }
    QByteArray OldProgram() const { return oldProgram_; }
    QByteArray NewProgram() const { return oldProgram_ + "\nthe new version\n"; }

    // Writes a file with the given permission bits (octal, e.g. 0644).
    void Write(const QString& Name, const QByteArray& Content, int Mode = 0644) const {
        test_support::WriteFile(Path(Name), Content, Mode);
    }
    void Download(const QString& Name, const QByteArray& Content) const {
        Write(Name + ".uTMP", Content);
    }
    QByteArray Read(const QString& Name) const { return test_support::ReadFile(Path(Name)); }
    int Mode(const QString& Name) const { return test_support::FileMode(Path(Name)); }
    // "name content mode; ..." for the files ("old"/"new" for the stand-in's
    // two versions, "name -" for a file that is not there).
    QString Describe(const QStringList& Names) const;
    // The lines the stand-in recorded when started as Name.
    QStringList Starts(const QString& Name) const;
    bool WaitForStarts(const QString& Name, int Count) const;
    // Whether a process runs the program (or a program replaced at its path).
    bool ProgramRuns() const;
    // Starts the program as the user would, with Argument, once no earlier
    // start runs, and waits for it.
    void StartProgram(const QString& Argument) const;

  private:
    QTemporaryDir root_;
    QString folder_;
    QByteArray oldProgram_;
};

// The replacer built with the test limits. Given a list, it is copied into
// a folder of its own with the list of files to install (its lines as
// given) and the upgrade's version beside it, as the program writes them.
// Its wait for the new program's word is shortened to ConfirmLimitMs when
// given; it kills itself at the step of a self-upgrade KilledAt names.
class Replacer {
  public:
    explicit Replacer(std::optional<QByteArray> List = {}, int ConfirmLimitMs = -1,
                      const QString& KilledAt = {});
    void Start(QProcess& Process, const QStringList& Params) const;
    // Whether the run ended within 30 s (a hang is killed); ExitCode, when
    // given, is how its process ended (-1 for a signal).
    bool Run(const QStringList& Params, int* ExitCode = nullptr) const;

  private:
    QTemporaryDir folder_;
    QString program_;
    int confirmLimitMs_;
    QString killedAt_;
};

}  // namespace replacer_test
