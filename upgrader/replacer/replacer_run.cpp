#include "upgrader/replacer/replacer_run.h"

#include <chrono>
#include <cstdio>
#include <filesystem>

#include "upgrader/replacer/backups.h"
#include "upgrader/replacer/file_replacement.h"
#include "upgrader/replacer/file_usage.h"
#include "upgrader/replacer/own_folder.h"
#include "upgrader/replacer/process_start.h"
#include "upgrader/replacer/refused_upgrade_record.h"
#include "upgrader/replacer/replacer_files.h"
#include "upgrader/replacer/replacer_manifest.h"
#include "upgrader/replacer/unfinished_upgrade.h"
#include "upgrader/replacer/upgrade_journal.h"
#include "upgrader/replacer/watchdog.h"

namespace replacer {

namespace {

void ShowInformation() {
    std::fputs(
        "Ruzozudo3, the upgrade replacer of Quorvane: once the program has ended it puts the\n"
        "downloaded files in place and starts the program again.\n"
        "Started by the program as: Ruzozudo3 <program path> +<restart parameters><method>\n",
        stdout);
}

// The setup program runs as long as the user needs; once it has ended and no
// process uses its file any more, the file is removed.
void RunSetupProgram(const std::string& SetupProgram, const std::vector<std::string>& Arguments,
                     const ReplacerLimits& Limits) {
    const pid_t setup = StartProgram(SetupProgram, Arguments);
    if (setup > 0)
        WaitForProgram(setup);
    if (WaitUntilUnused(SetupProgram, Limits.ProgramEnd))
        std::filesystem::remove(SetupProgram);
}

// Names this upgrade's backups apart from an earlier one's.
std::string BackupStamp() {
    return std::to_string(std::chrono::duration_cast<std::chrono::nanoseconds>(
                              std::chrono::system_clock::now().time_since_epoch())
                              .count());
}

// Without an upgrade to watch, the program (old or unchanged) simply runs in
// this process.
int ExecProgramAfter(TOwnFolder& Folder, const std::string& Program,
                     const std::vector<std::string>& Arguments) {
    Folder.Release();
    ExecProgram(Program, Arguments);
    std::perror("Ruzozudo3: cannot start the program");
    return 1;
}

int RunSelfUpgrade(const ReplacerRequest& Request, const std::vector<std::string>& Arguments,
                   const std::string& Version, const ReplacerLimits& Limits, TOwnFolder& Folder) {
    const auto step = [&](const char* Name) {
        if (Limits.AtStep)
            Limits.AtStep(Name);
    };
    const std::string& program = Request.ExecutablePath;
    const std::optional<UpgradeJournal> prepared =
        SettleEarlierUpgrade(program) ? PrepareSelfUpgrade(Request, BackupStamp(), Version)
                                      : std::nullopt;
    if (!prepared || prepared->Files.empty())
        return ExecProgramAfter(Folder, program, Arguments);
    const std::unique_ptr<TJournalFile> journal =
        TJournalFile::Create(program + kPendingUpgradeSuffix, *prepared);
    if (journal)
        step("journal-written");
    if (!journal || !InstallFiles(Request, *prepared, [&] { step("first-renamed"); })) {
        UndoUpgrade(Request.Folder, *prepared);
        if (journal)
            journal->Remove();
        return ExecProgramAfter(Folder, program, Arguments);
    }
    return ExecUnderWatchdog(
        program, Arguments, *journal, &Folder,
        {Limits.Confirmation, [&] { step("waiting"); }, [&] { step("undoing"); }});
}

}  // namespace

int RunReplacer(const std::vector<std::string>& Params, const ReplacerLimits& Limits) {
    auto request = ParseReplacerParameters(Params);
    if (!request) {
        ShowInformation();
        return 0;
    }
    const std::string ownFolder = OwnFolder();
    TOwnFolder heldFolder(ownFolder);
    request->Files =
        ownFolder.empty() ? std::vector<std::string>{} : ReadManifest(ownFolder + kManifestName);
    // Past the limit the old program is taken as hanging; a self-upgrade
    // then finds its files in use and installs nothing.
    WaitUntilUnused(request->ExecutablePath, Limits.ProgramEnd);
    // The old program's helpers, once ours (the program became this
    // replacer), are not left to the new one as zombies.
    ReapEndedChildren();
    const std::vector<std::string> arguments = SplitRestartParams(request->RestartParams);
    if (!request->SetupMode)
        return RunSelfUpgrade(*request, arguments, ReadUpgradeVersion(ownFolder), Limits,
                              heldFolder);
    const std::string setupProgram = ReplaceInSetupMode(*request);
    if (!setupProgram.empty())
        RunSetupProgram(setupProgram, arguments, Limits);
    return ExecProgramAfter(heldFolder, request->ExecutablePath, arguments);
}

}  // namespace replacer
