#pragma once

#include <optional>
#include <string>
#include <vector>

namespace replacer {

// What the program asks of the replacer.
struct ReplacerRequest {
    std::string ExecutablePath;  // the program to replace and start again
    std::string Folder;          // its folder, ending with "/"
    std::string RestartParams;   // the text given to the restarted program
    bool SetupMode = false;      // an external setup program is run first
    // The names of the files to install (without ".uTMP"), from the list
    // beside the replacer; without one, every ".uTMP" file in the folder.
    std::optional<std::vector<std::string>> Files;
};

// Reads the replacer's parameters (argv without the replacer's own path).
// - Argument form, the one the program uses: exactly two parameters, the
//   executable path and "+" + restart parameters + method digit. The path is
//   taken whole, so spaces and "+" in it are safe.
// - Joined form, the classic command line "<path> +<params><digit>" split
//   anywhere at blanks: the parameters are joined, each followed by one blank,
//   and split at the first "+"; the path loses its trailing blanks.
// Setup mode is on when the method digit is "1". Nothing (no parameters, or
// no "+" at all) gives no request.
std::optional<ReplacerRequest> ParseReplacerParameters(const std::vector<std::string>& Params);

// The restart parameters as the restarted program's arguments: split at
// blanks and tabs, as a command line without quotes is split; " " gives none.
std::vector<std::string> SplitRestartParams(const std::string& RestartParams);

}  // namespace replacer
