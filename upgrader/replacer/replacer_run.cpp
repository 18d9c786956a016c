#include "upgrader/replacer/replacer_run.h"

#include <chrono>
#include <cstdio>
#include <filesystem>

#include "upgrader/replacer/file_replacement.h"
#include "upgrader/replacer/file_usage.h"
#include "upgrader/replacer/own_folder.h"
#include "upgrader/replacer/process_start.h"
#include "upgrader/replacer/refused_upgrade_record.h"
#include "upgrader/replacer/replacer_files.h"
#include "upgrader/replacer/replacer_manifest.h"
#include "upgrader/replacer/start_confirmation.h"

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

}  // namespace

int RunReplacer(const std::vector<std::string>& Params, const ReplacerLimits& Limits) {
    auto request = ParseReplacerParameters(Params);
    if (!request) {
        ShowInformation();
        return 0;
    }
    const std::string ownFolder = OwnFolder();
    const TOwnFolder heldFolder(ownFolder);
    request->Files =
        ownFolder.empty() ? std::vector<std::string>{} : ReadManifest(ownFolder + kManifestName);
    // Past the limit the old program is taken as hanging: files it still uses
    // are left alone and it is started again all the same.
    WaitUntilUnused(request->ExecutablePath, Limits.ProgramEnd);
    const std::vector<std::string> arguments = SplitRestartParams(request->RestartParams);
    if (request->SetupMode) {
        const ReplacedFiles replaced = ReplaceDownloadedFiles(*request);
        if (!replaced.SetupProgram.empty())
            RunSetupProgram(replaced.SetupProgram, arguments, Limits);
        StartProgram(request->ExecutablePath, arguments);
        return 0;
    }
    const ReplacedFiles replaced = ReplaceDownloadedFiles(*request, BackupStamp());
    if (replaced.Installed.empty()) {
        StartProgram(request->ExecutablePath, arguments);
        return 0;
    }
    const StartOutcome outcome =
        StartAndAwaitConfirmation(request->ExecutablePath, arguments, Limits.Confirmation);
    if (outcome == StartOutcome::Confirmed) {
        RemoveEarlierBackups(request->Folder, replaced.Installed);
        return 0;
    }
    RestoreBackups(replaced.Installed, request->Folder);
    RecordRefusedUpgrade(request->ExecutablePath, ReadUpgradeVersion(ownFolder));
    StartProgram(request->ExecutablePath, arguments);
    return 1;
}

}  // namespace replacer
