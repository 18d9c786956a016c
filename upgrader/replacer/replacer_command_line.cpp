#include "upgrader/replacer/replacer_command_line.h"

#include "upgrader/replacer/small_files.h"

namespace replacer {

namespace {

ReplacerRequest MakeRequest(std::string Path, std::string RestartParams, char MethodDigit) {
    ReplacerRequest request;
    request.Folder = FolderOf(Path);
    request.ExecutablePath = std::move(Path);
    request.RestartParams = std::move(RestartParams);
    request.SetupMode = MethodDigit == '1';
    return request;
}

std::optional<ReplacerRequest> FromArguments(const std::vector<std::string>& Params) {
    const std::string& tail = Params[1];
    return MakeRequest(Params[0], tail.substr(1, tail.size() - 2), tail.back());
}

std::optional<ReplacerRequest> FromJoinedText(const std::vector<std::string>& Params) {
    std::string joined;
    for (const std::string& param : Params)
        joined += param + ' ';
    const auto plus = joined.find('+');
    if (plus == std::string::npos)
        return std::nullopt;
    // The tail is "<params><digit> ": the restart parameters lose the digit
    // and the final blank.
    const std::size_t tailLength = joined.size() - plus - 1;
    std::string params = tailLength >= 2 ? joined.substr(plus + 1, tailLength - 2) : std::string();
    const char digit = joined.size() >= 2 ? joined[joined.size() - 2] : '0';
    std::string path = joined.substr(0, plus);
    while (!path.empty() && path.back() == ' ')
        path.pop_back();
    if (path.empty())
        return std::nullopt;
    return MakeRequest(std::move(path), std::move(params), digit);
}

}  // namespace

std::optional<ReplacerRequest> ParseReplacerParameters(const std::vector<std::string>& Params) {
    if (Params.empty())
        return std::nullopt;
    if (Params.size() == 2 && !Params[0].empty() && Params[1].size() >= 2 && Params[1][0] == '+')
        return FromArguments(Params);
    return FromJoinedText(Params);
}

std::vector<std::string> SplitRestartParams(const std::string& RestartParams) {
    std::vector<std::string> arguments;
    std::string current;
    for (const char c : RestartParams) {
        if (c == ' ' || c == '\t') {
            if (!current.empty())
                arguments.push_back(std::move(current));
            current.clear();
        } else {
            current += c;
        }
    }
    if (!current.empty())
        arguments.push_back(std::move(current));
    return arguments;
}

}  // namespace replacer
