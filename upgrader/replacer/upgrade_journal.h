#pragma once

#include "common/program_file_names.h"

#include <sys/types.h>

#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "upgrader/replacer/file_usage.h"

namespace replacer {

// A file of a self-upgrade: its name in the program's folder, the inode of
// the new file (the download, renamed into place as it is), whether an old
// file was there (then kept as its backup) and which file that backup is.
// Only that file is ever put back: anything else found at the backup's name
// is not the replacer's. Journals of earlier replacers do not say.
struct JournalFile {
    std::string Name;
    ino_t NewFile = 0;
    bool HadOld = false;
    std::optional<FileId> Backup;
};

// The record of a self-upgrade in progress, kept beside the program as
// "<program>.pending-upgrade" from before the first file is renamed until the
// new program is confirmed or the old one is whole again. Whoever finds it
// unlocked (its replacer is gone) finishes the upgrade.
//
// Its text: "Quorvane pending upgrade", "version <v>", "stamp <s>", one line
// "<inode> <0|1> <name>" per file, each kept backup followed by a line
// "backup <device> <inode>", "end"; after that the replacer or a trial
// appends "failed" once the new program did not come up.
struct UpgradeJournal {
    std::string Version;
    std::string Stamp;  // the backups are "<name>.<Stamp>.uOLD"
    std::vector<JournalFile> Files;
    bool Failed = false;
};

using common::kPendingUpgradeSuffix;

// The backup of the file Name for this journal.
std::string BackupPath(const std::string& Folder, const std::string& Name,
                       const std::string& Stamp);

// The journal file, open and locked (an exclusive flock that is not
// inherited by programs started meanwhile) for as long as this object lives:
// while it is locked, nobody else acts on it.
class TJournalFile {
  public:
    // Unreadable: it is there but cannot be opened, locked or read (no
    // permission, a read-only file system, an error of the disk).
    enum class Found { None, Busy, Taken, Unreadable };

    // Writes the journal atomically (a temporary name, synced, renamed,
    // the folder synced) and keeps it locked. Null when it cannot be written.
    static std::unique_ptr<TJournalFile> Create(const std::string& Path,
                                                const UpgradeJournal& Journal);
    // Takes the journal at Path when it is there and nobody holds it.
    static std::unique_ptr<TJournalFile> Take(const std::string& Path, Found& Result);

    ~TJournalFile();
    TJournalFile(const TJournalFile&) = delete;
    TJournalFile& operator=(const TJournalFile&) = delete;

    // The journal as read; Valid() is false for text that is not one.
    const UpgradeJournal& Journal() const { return journal_; }
    bool Valid() const { return valid_; }
    // Appends "failed" and syncs it; false when that could not be written.
    bool MarkFailed();
    // Renames a journal that is not one out of the way, to "<path>.invalid",
    // where it stays for whoever looks into what happened. The new name, or
    // empty when it could not be moved.
    std::string MoveAside();
    const std::string& Path() const { return path_; }
    // Removes the journal (and syncs the folder): the upgrade is finished.
    bool Remove();

  private:
    TJournalFile(std::string Path, int Descriptor) : path_(std::move(Path)), fd_(Descriptor) {}
    std::string path_;
    int fd_;
    UpgradeJournal journal_;
    bool valid_ = false;
};

// The journal's text, and the journal read from text.
std::string JournalText(const UpgradeJournal& Journal);
bool ParseJournal(const std::string& Text, UpgradeJournal& Journal);

}  // namespace replacer
