#include "upgrader/replacer/replacer_run.h"

#include <cstdio>
#include <filesystem>

#include "upgrader/replacer/file_replacement.h"
#include "upgrader/replacer/file_usage.h"
#include "upgrader/replacer/process_start.h"
#include "upgrader/replacer/replacer_files.h"
#include "upgrader/replacer/replacer_manifest.h"

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

}  // namespace

int RunReplacer(const std::vector<std::string>& Params, const ReplacerLimits& Limits) {
    auto request = ParseReplacerParameters(Params);
    if (!request) {
        ShowInformation();
        return 0;
    }
    // Past the limit the old program is taken as hanging: files it still uses
    // are left alone and it is started again all the same.
    const std::string ownFolder = OwnFolder();
    request->Files =
        ownFolder.empty() ? std::vector<std::string>{} : ReadManifest(ownFolder + kManifestName);
    WaitUntilUnused(request->ExecutablePath, Limits.ProgramEnd);
    const std::string setupProgram = ReplaceDownloadedFiles(*request);
    const std::vector<std::string> arguments = SplitRestartParams(request->RestartParams);
    if (!setupProgram.empty())
        RunSetupProgram(setupProgram, arguments, Limits);
    StartProgram(request->ExecutablePath, arguments);
    return 0;
}

}  // namespace replacer
