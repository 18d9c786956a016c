#pragma once

#include <chrono>
#include <optional>
#include <string>

#include "upgrader/replacer/upgrade_journal.h"

namespace replacer {

// Puts the old files of the journal's upgrade back, records its version as
// refused, removes the journal and says so on the error output. False when
// the journal could not be removed.
bool UndoPendingUpgrade(TJournalFile& Journal, const std::string& ExecutablePath);

// Before a replacer installs an upgrade, an earlier one whose replacer was
// killed is settled: when its files are all in place, the program that
// started this replacer was its new version and came up, so it stays;
// otherwise it is undone. A journal that is not one is moved aside. False
// when another process is still at work on it, or it cannot be read or
// moved: then nothing may be installed.
bool SettleEarlierUpgrade(const std::string& ExecutablePath);

// The first thing the program does when the user starts it: an upgrade
// whose replacer was killed is finished here, before anything of the new
// version is loaded. When all its files are in place and no trial failed
// yet, this start is the trial: marked failed first (a mark that cannot be
// written means an undo instead), then the program runs again in this
// process under a watchdog, as after the replacer. Otherwise the upgrade is
// undone, its version refused, and the (old) program executed in place of
// this process. A journal that cannot be read stops the start (1) with a
// message naming it; one that is not a journal is moved aside, said so, and
// the start goes on. Nothing when there is nothing to finish (or its
// watchdog is still at work): the start goes on.
std::optional<int> FinishUnfinishedUpgrade(
    int argc, char** argv, std::chrono::milliseconds ConfirmLimit = std::chrono::seconds(90));

}  // namespace replacer
