#pragma once

#include <QByteArray>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

namespace replacer_test {

// A temporary program folder for the replacer tests: the stand-in program as
// the old executable, downloaded ".uTMP" files beside it, and the records the
// stand-in leaves on each start.
class ProgramFolder {
  public:
    explicit ProgramFolder(const QString& FolderName, const QString& ProgramName = "quorvane");

    QString Folder() const { return folder_; }
    QString Path(const QString& Name) const { return folder_ + Name; }
    QString ProgramPath() const { return Path(programName_); }
    QByteArray OldProgram() const { return oldProgram_; }
    QByteArray NewProgram() const { return oldProgram_ + "\nthe new version\n"; }

    // Writes a file with the given permission bits (octal, e.g. 0644).
    void Write(const QString& Name, const QByteArray& Content, int Mode = 0644) const;
    void Download(const QString& Name, const QByteArray& Content) const;
    QByteArray Read(const QString& Name) const;
    bool Exists(const QString& Name) const;
    int Mode(const QString& Name) const;
    // "name content mode; ..." for the files ("old"/"new" for the stand-in's
    // two versions, "name -" for a file that is not there).
    QString Describe(const QStringList& Names) const;
    // The lines the stand-in recorded when started as Name.
    QStringList Starts(const QString& Name) const;
    bool WaitForStarts(const QString& Name, int Count, int TimeoutMs = 20000) const;

  private:
    QTemporaryDir root_;
    QString folder_;
    QString programName_;
    QByteArray oldProgram_;
};

// Runs the built replacer with the parameters; QUORVANE_REPLACER_WAIT_MS is
// set to WaitLimitMs when given. The finished process (or a killed one on a
// hang of more than 30 s).
struct ReplacerRun {
    int ExitCode = -1;
    QByteArray Output;
    bool Finished = false;
};
ReplacerRun RunReplacer(const QStringList& Params, int WaitLimitMs = -1);
void StartReplacer(QProcess& Process, const QStringList& Params, int WaitLimitMs = -1);

// The replacer copied into a folder of its own with the list of files to
// install (its lines as given) and the upgrade's version beside it, as the
// program writes them; its wait for the new program's word shortened to
// ConfirmLimitMs when given.
class ListedReplacer {
  public:
    explicit ListedReplacer(const QByteArray& List, int ConfirmLimitMs = -1);
    ReplacerRun Run(const QStringList& Params) const;
    void Start(QProcess& Process, const QStringList& Params) const;

  private:
    QTemporaryDir folder_;
    int confirmLimitMs_;
};

// Starts the stand-in program at Path with the arguments; it keeps running
// for the --sleep time.
void StartStandIn(QProcess& Process, const QString& Path, const QStringList& Arguments);

}  // namespace replacer_test
