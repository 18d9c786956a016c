#pragma once

#include <sys/types.h>

#include <memory>
#include <string>
#include <vector>

namespace replacer {

// A file of a self-upgrade: its name in the program's folder, the inode of
// the new file (the download, renamed into place as it is), and whether an
// old file was there (then kept as its backup).
struct JournalFile {
    std::string Name;
    ino_t NewFile = 0;
    bool HadOld = false;
};

// The record of a self-upgrade in progress, kept beside the program as
// "<program>.pending-upgrade" from before the first file is renamed until the
// new program is confirmed or the old one is whole again. Whoever finds it
// unlocked (its replacer is gone) finishes the upgrade.
//
// Its text: "Quorvane pending upgrade", "version <v>", "stamp <s>", one line
// "<inode> <0|1> <name>" per file, "end"; after that the replacer or a trial
// appends "failed" once the new program did not come up.
struct UpgradeJournal {
    std::string Version;
    std::string Stamp;  // the backups are "<name>.<Stamp>.uOLD"
    std::vector<JournalFile> Files;
    bool Failed = false;
};

inline constexpr char kPendingUpgradeSuffix[] = ".pending-upgrade";

// The backup of the file Name for this journal.
std::string BackupPath(const std::string& Folder, const std::string& Name,
                       const std::string& Stamp);

// The journal file, open and locked (an exclusive flock that is not
// inherited by programs started meanwhile) for as long as this object lives:
// while it is locked, nobody else acts on it.
class TJournalFile {
  public:
    enum class Found { None, Busy, Taken };

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
    // Appends "failed" and syncs it.
    bool MarkFailed();
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
