#include "upgrader/replacer/unfinished_upgrade.h"

#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <vector>

#include "common/running_executable.h"
#include "upgrader/replacer/backups.h"
#include "upgrader/replacer/refused_upgrade_record.h"
#include "upgrader/replacer/small_files.h"
#include "upgrader/replacer/watchdog.h"

namespace replacer {

namespace {

// Whether the journal describes an upgrade that is all in place and whose
// new program has not failed yet.
bool ReadyForTrial(const TJournalFile& Journal, const std::string& ExecutablePath) {
    return !Journal.Journal().Failed && UpgradeInPlace(FolderOf(ExecutablePath), Journal.Journal());
}

// The journal, locked, when there is one to act on; Stop says whether the
// start must stop instead (said on the error output).
std::unique_ptr<TJournalFile> TakeJournal(const std::string& ExecutablePath,
                                          TJournalFile::Found& Found, bool& Stop) {
    const std::string path = ExecutablePath + kPendingUpgradeSuffix;
    std::unique_ptr<TJournalFile> journal = TJournalFile::Take(path, Found);
    Stop = Found == TJournalFile::Found::Unreadable;
    if (Stop)
        std::fprintf(stderr,
                     "quorvane: %s, the record of an unfinished upgrade, cannot be read (%s); "
                     "nothing starts until it can be read or is removed\n",
                     path.c_str(), std::strerror(errno));
    if (!journal || journal->Valid())
        return journal;
    const std::string aside = journal->MoveAside();
    Stop = aside.empty();
    if (Stop)
        std::fprintf(stderr,
                     "quorvane: %s is not the record of an upgrade and cannot be moved aside "
                     "(%s); nothing starts until it is removed\n",
                     path.c_str(), std::strerror(errno));
    else
        std::fprintf(stderr,
                     "quorvane: %s was not the record of an upgrade; it was moved to %s and "
                     "the program starts as it is\n",
                     path.c_str(), aside.c_str());
    return nullptr;
}

}  // namespace

bool UndoPendingUpgrade(TJournalFile& Journal, const std::string& ExecutablePath) {
    UndoUpgrade(FolderOf(ExecutablePath), Journal.Journal());
    RecordRefusedUpgrade(ExecutablePath, Journal.Journal().Version);
    std::fprintf(stderr, "quorvane: the upgrade to %s did not come up; the old version is back\n",
                 Journal.Journal().Version.c_str());
    return Journal.Remove();
}

bool SettleEarlierUpgrade(const std::string& ExecutablePath) {
    TJournalFile::Found found = TJournalFile::Found::None;
    bool stop = false;
    const std::unique_ptr<TJournalFile> journal = TakeJournal(ExecutablePath, found, stop);
    if (!journal)
        return !stop && found != TJournalFile::Found::Busy;
    if (ReadyForTrial(*journal, ExecutablePath))
        return journal->Remove();
    return UndoPendingUpgrade(*journal, ExecutablePath);
}

std::optional<int> FinishUnfinishedUpgrade(int argc, char** argv,
                                           std::chrono::milliseconds ConfirmLimit) {
    const std::string executable = common::RunningExecutablePath();
    TJournalFile::Found found = TJournalFile::Found::None;
    bool stop = false;
    std::unique_ptr<TJournalFile> journal = TakeJournal(executable, found, stop);
    if (stop)
        return 1;
    if (!journal)
        return std::nullopt;
    const std::vector<std::string> arguments(argv + (argc > 0 ? 1 : 0), argv + argc);
    // Marked first: should this start be killed too, the next one undoes.
    if (ReadyForTrial(*journal, executable) && journal->MarkFailed())
        return ExecUnderWatchdog(executable, arguments, *journal, nullptr,
                                 WatchdogLimits{ConfirmLimit, {}, {}});
    if (!UndoPendingUpgrade(*journal, executable))
        return 1;
    journal.reset();
    ::execv(executable.c_str(), argv);
    std::perror("quorvane: cannot start the restored program");
    return 1;
}

}  // namespace replacer
