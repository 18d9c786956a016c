#include <gtest/gtest.h>

#include "upgrader/replacer/replacer_command_line.h"

using namespace replacer;

namespace {

using Params = std::vector<std::string>;

// The request as "path|folder|restart arguments|setup", the arguments the
// restarted program gets separated by ";", or "none".
std::string Parsed(const Params& params) {
    const auto r = ParseReplacerParameters(params);
    if (!r)
        return "none";
    std::string arguments;
    for (const std::string& argument : SplitRestartParams(r->RestartParams))
        arguments += (arguments.empty() ? "" : ";") + argument;
    return r->ExecutablePath + '|' + r->Folder + '|' + arguments + '|' +
           (r->SetupMode ? "setup" : "self");
}

}  // namespace

// The path whole in its own argument, or split at blanks and joined again up
// to the first "+"; the last byte is the method digit; the restart
// parameters become arguments at blanks.
TEST(ReplacerParameters, PathRestartParametersAndMethod) {
    const std::pair<Params, std::string> cases[] = {
        {{"/opt/my app+1/quorvane", "+/afterupgrade0"},
         "/opt/my app+1/quorvane|/opt/my app+1/|/afterupgrade|self"},
        {{"/opt/q/quorvane", "+/afterupgrade1"}, "/opt/q/quorvane|/opt/q/|/afterupgrade|setup"},
        {{"quorvane", "+/afterupgrade0"}, "quorvane|./|/afterupgrade|self"},
        {{"/opt/q/quorvane", "+/a \t+b 2"}, "/opt/q/quorvane|/opt/q/|/a;+b|self"},
        {{"/opt/q/quorvane", "+ 0"}, "/opt/q/quorvane|/opt/q/||self"},
        {{"/opt/my", "app/quorvane", "+/afterupgrade0"},
         "/opt/my app/quorvane|/opt/my app/|/afterupgrade|self"},
        {{"/opt/q/quorvane +/afterupgrade1"}, "/opt/q/quorvane|/opt/q/|/afterupgrade|setup"},
        {{"/opt/q/quorvane", "+/a", "/b2"}, "/opt/q/quorvane|/opt/q/|/a;/b|self"},
        {{}, "none"},
        {{"/opt/q/quorvane", "/afterupgrade0"}, "none"},
        {{"", "+/afterupgrade0"}, "none"},
    };
    for (const auto& [params, expected] : cases)
        EXPECT_EQ(Parsed(params), expected) << expected;
}
