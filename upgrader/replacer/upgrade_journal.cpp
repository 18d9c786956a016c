#include "upgrader/replacer/upgrade_journal.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <sstream>

#include "upgrader/replacer/backups.h"
#include "upgrader/replacer/small_files.h"

namespace replacer {

namespace {

constexpr char kJournalTitle[] = "Quorvane pending upgrade";

// "<inode> <0|1> <name>"; the name is the rest of the line.
bool ParseFileLine(const std::string& Line, JournalFile& File) {
    std::istringstream fields(Line);
    unsigned long long inode = 0;
    int hadOld = -1;
    if (!(fields >> inode >> hadOld) || (hadOld != 0 && hadOld != 1) || fields.get() != ' ')
        return false;
    std::getline(fields, File.Name);
    File.NewFile = ino_t(inode);
    File.HadOld = hadOld == 1;
    return !File.Name.empty() && File.Name.find('/') == std::string::npos && File.Name != "." &&
           File.Name != "..";
}

// "backup <device> <inode>", for the file of the line before.
bool ParseBackupLine(const std::string& Line, UpgradeJournal& Journal) {
    std::istringstream fields(Line.substr(7));
    unsigned long long device = 0, inode = 0;
    if (Journal.Files.empty() || !Journal.Files.back().HadOld || Journal.Files.back().Backup ||
        !(fields >> device >> inode) || !fields.eof())
        return false;
    Journal.Files.back().Backup = FileId(dev_t(device), ino_t(inode));
    return true;
}

bool ParseField(std::istream& Lines, const std::string& Key, std::string& Value) {
    std::string line;
    if (!std::getline(Lines, line) || line.rfind(Key + ' ', 0) != 0)
        return false;
    Value = line.substr(Key.size() + 1);
    return !Value.empty();
}

}  // namespace

std::string BackupPath(const std::string& Folder, const std::string& Name,
                       const std::string& Stamp) {
    return Folder + '/' + Name + '.' + Stamp + kBackupSuffix;
}

std::string JournalText(const UpgradeJournal& Journal) {
    std::string text = std::string(kJournalTitle) + "\nversion " + Journal.Version + "\nstamp " +
                       Journal.Stamp + '\n';
    for (const JournalFile& file : Journal.Files) {
        text += std::to_string(file.NewFile) + (file.HadOld ? " 1 " : " 0 ") + file.Name + '\n';
        if (file.Backup)
            text += "backup " + std::to_string(file.Backup->first) + ' ' +
                    std::to_string(file.Backup->second) + '\n';
    }
    return text + (Journal.Failed ? "end\nfailed\n" : "end\n");
}

bool ParseJournal(const std::string& Text, UpgradeJournal& Journal) {
    std::istringstream lines(Text);
    std::string line;
    if (!std::getline(lines, line) || line != kJournalTitle ||
        !ParseField(lines, "version", Journal.Version) ||
        !ParseField(lines, "stamp", Journal.Stamp) || Journal.Stamp.find('/') != std::string::npos)
        return false;
    while (std::getline(lines, line) && line != "end") {
        if (line.rfind("backup ", 0) == 0) {
            if (!ParseBackupLine(line, Journal))
                return false;
            continue;
        }
        JournalFile file;
        if (!ParseFileLine(line, file))
            return false;
        Journal.Files.push_back(file);
    }
    if (line != "end")
        return false;
    // Whatever follows (even a line cut short by a kill) is the mark of a
    // trial that did not come up.
    Journal.Failed = lines.peek() != std::char_traits<char>::eof();
    return true;
}

std::unique_ptr<TJournalFile> TJournalFile::Create(const std::string& Path,
                                                   const UpgradeJournal& Journal) {
    const int descriptor = WriteInPlace(Path, JournalText(Journal), true);
    if (descriptor < 0)
        return nullptr;
    SyncFolder(FolderOf(Path));
    std::unique_ptr<TJournalFile> journal(new TJournalFile(Path, descriptor));
    journal->journal_ = Journal;
    journal->valid_ = true;
    return journal;
}

std::unique_ptr<TJournalFile> TJournalFile::Take(const std::string& Path, Found& Result) {
    Result = Found::None;
    const int descriptor = ::open(Path.c_str(), O_RDWR | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (descriptor < 0) {
        if (errno != ENOENT)
            Result = Found::Unreadable;
        return nullptr;
    }
    std::unique_ptr<TJournalFile> journal(new TJournalFile(Path, descriptor));
    if (::flock(descriptor, LOCK_EX | LOCK_NB) != 0) {
        Result = Found::Busy;
        return nullptr;
    }
    // Its finisher may have removed it between our open and our lock.
    struct stat opened {
    }, named{};
    if (::fstat(descriptor, &opened) != 0 || ::lstat(Path.c_str(), &named) != 0 ||
        opened.st_ino != named.st_ino || opened.st_dev != named.st_dev || !S_ISREG(opened.st_mode))
        return nullptr;
    // Larger than any journal: not one, as any text that does not parse.
    const bool tooLarge = opened.st_size > off_t(kMostSmallFileBytes);
    const std::optional<std::string> text = tooLarge ? std::string() : ReadAll(descriptor);
    if (!text) {
        Result = Found::Unreadable;
        return nullptr;
    }
    journal->valid_ = !tooLarge && ParseJournal(*text, journal->journal_);
    Result = Found::Taken;
    return journal;
}

TJournalFile::~TJournalFile() {
    ::close(fd_);
}

bool TJournalFile::MarkFailed() {
    journal_.Failed = true;
    return ::lseek(fd_, 0, SEEK_END) >= 0 && WriteAll(fd_, "failed\n", 7) && ::fsync(fd_) == 0;
}

std::string TJournalFile::MoveAside() {
    const std::string aside = path_ + ".invalid";
    if (std::rename(path_.c_str(), aside.c_str()) != 0)
        return {};
    SyncFolder(FolderOf(path_));
    return aside;
}

bool TJournalFile::Remove() {
    if (::unlink(path_.c_str()) != 0 && errno != ENOENT)
        return false;
    SyncFolder(FolderOf(path_));
    return true;
}

}  // namespace replacer
