#pragma once

#include <chrono>
#include <functional>
#include <string>
#include <vector>

#include "upgrader/replacer/upgrade_journal.h"

namespace replacer {

class TOwnFolder;

struct WatchdogLimits {
    // For the new program to say it is up.
    std::chrono::milliseconds Confirmation{90000};
    // Test hooks, called in the watchdog once it waits and before it undoes.
    std::function<void()> Waiting;
    std::function<void()> Undoing;
};

// The new program of an upgrade runs in this very process, so that whoever
// started the program (a user, a launcher, a supervisor waiting on this
// process) finds the new version running in it, never an exit. A watchdog,
// forked off (twice, so that it is nobody's child here), keeps the journal
// locked and the replacer's folder, and waits for the program's word:
// - confirmed: the upgrade stays; the earlier upgrade's backups and the
//   journal go;
// - handed back (the program's start failed before it was up, and its
//   process goes on as the old version once the journal is free): undone;
// - ended (a crash), or silent past the limit (then ended: SIGTERM, and
//   SIGKILL when it does not hand back or end): undone, its version
//   refused, and the old program started as a process of its own.
// Then this process executes Path. Returns only when that failed, after the
// old version was put back in place: the exit code.
int ExecUnderWatchdog(const std::string& Path, const std::vector<std::string>& Arguments,
                      TJournalFile& Journal, TOwnFolder* Folder, const WatchdogLimits& Limits);

// The new program's side: a start that a watchdog waits for (the variables
// say so; they stay for the client to take its pipe) and that ends without
// having said it is up hands its process back: "0" to the watchdog, a wait
// until the watchdog has put the old version back (the journal is free),
// then the program at the same path, the old one, is executed in this
// process with the same arguments.
class TWatchedStart {
  public:
    static TWatchedStart FromEnvironment();
    // ExitCode, or, when the program never said it was up, the process
    // handed back to the old version (no return unless that failed).
    int Finish(int ExitCode, char** Argv) const;

  private:
    int pipe_ = -1;
    FileId pipeId_{};
};

}  // namespace replacer
