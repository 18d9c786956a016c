#include "upgrader/replacer/unfinished_upgrade.h"

#include <unistd.h>

#include <cstdio>
#include <vector>

#include "upgrader/replacer/backups.h"
#include "upgrader/replacer/refused_upgrade_record.h"
#include "upgrader/replacer/replacer_manifest.h"
#include "upgrader/replacer/small_files.h"
#include "upgrader/replacer/start_confirmation.h"

namespace replacer {

namespace {

// Whether the journal describes an upgrade that is all in place and whose
// new program has not failed yet.
bool ReadyForTrial(const TJournalFile& Journal, const std::string& ExecutablePath) {
    return Journal.Valid() && !Journal.Journal().Failed &&
           UpgradeInPlace(FolderOf(ExecutablePath), Journal.Journal());
}

}  // namespace

bool UndoPendingUpgrade(TJournalFile& Journal, const std::string& ExecutablePath) {
    if (Journal.Valid()) {
        UndoUpgrade(FolderOf(ExecutablePath), Journal.Journal());
        RecordRefusedUpgrade(ExecutablePath, Journal.Journal().Version);
    }
    return Journal.Remove();
}

bool SettleEarlierUpgrade(const std::string& ExecutablePath) {
    TJournalFile::Found found = TJournalFile::Found::None;
    const std::unique_ptr<TJournalFile> journal =
        TJournalFile::Take(ExecutablePath + kPendingUpgradeSuffix, found);
    if (!journal)
        return found == TJournalFile::Found::None;
    if (ReadyForTrial(*journal, ExecutablePath))
        return journal->Remove();
    return UndoPendingUpgrade(*journal, ExecutablePath);
}

std::optional<int> FinishUnfinishedUpgrade(int argc, char** argv,
                                           std::chrono::milliseconds ConfirmLimit) {
    const std::string executable = OwnExecutablePath();
    TJournalFile::Found found = TJournalFile::Found::None;
    std::unique_ptr<TJournalFile> journal =
        TJournalFile::Take(executable + kPendingUpgradeSuffix, found);
    if (!journal)
        return std::nullopt;
    if (ReadyForTrial(*journal, executable)) {
        // Marked first: should this start be killed too, the next one undoes.
        journal->MarkFailed();
        const std::vector<std::string> arguments(argv + (argc > 0 ? 1 : 0), argv + argc);
        if (StartAndAwaitConfirmation(executable, arguments, ConfirmLimit) ==
            StartOutcome::Confirmed) {
            RemoveEarlierBackups(FolderOf(executable), journal->Journal());
            journal->Remove();
            return 0;
        }
    }
    std::fprintf(stderr, "quorvane: the upgrade to %s did not come up; the old version is back\n",
                 journal->Journal().Version.c_str());
    if (!UndoPendingUpgrade(*journal, executable))
        return 1;
    journal.reset();
    ::execv(executable.c_str(), argv);
    std::perror("quorvane: cannot start the restored program");
    return 1;
}

}  // namespace replacer
