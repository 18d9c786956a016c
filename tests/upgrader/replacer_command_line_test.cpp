#include <gtest/gtest.h>

#include "upgrader/replacer/replacer_command_line.h"

using namespace replacer;

namespace {

using Params = std::vector<std::string>;

ReplacerRequest Parsed(const Params& params) {
    const auto request = ParseReplacerParameters(params);
    EXPECT_TRUE(request.has_value());
    return request.value_or(ReplacerRequest{});
}

}  // namespace

TEST(ReplacerParameters, ArgumentFormTakesThePathWhole) {
    ReplacerRequest r = Parsed({"/opt/my app+1/quorvane", "+/afterupgrade0"});
    EXPECT_EQ(r.ExecutablePath, "/opt/my app+1/quorvane");
    EXPECT_EQ(r.Folder, "/opt/my app+1/");
    EXPECT_EQ(r.RestartParams, "/afterupgrade");
    EXPECT_FALSE(r.SetupMode);

    r = Parsed({"/opt/q/quorvane", "+/afterupgrade1"});
    EXPECT_TRUE(r.SetupMode);
    r = Parsed({"/opt/q/quorvane", "+ 0"});
    EXPECT_EQ(r.RestartParams, " ");
    r = Parsed({"/opt/q/quorvane", "+0"});
    EXPECT_EQ(r.RestartParams, "");
    r = Parsed({"/opt/q/quorvane", "+/a +b2"});
    EXPECT_EQ(r.RestartParams, "/a +b");
    EXPECT_FALSE(r.SetupMode);
    r = Parsed({"quorvane", "+/afterupgrade0"});
    EXPECT_EQ(r.Folder, "./");
}

TEST(ReplacerParameters, JoinedFormSplitsAtTheFirstPlus) {
    ReplacerRequest r = Parsed({"/opt/my", "app/quorvane", "+/afterupgrade0"});
    EXPECT_EQ(r.ExecutablePath, "/opt/my app/quorvane");
    EXPECT_EQ(r.Folder, "/opt/my app/");
    EXPECT_EQ(r.RestartParams, "/afterupgrade");
    EXPECT_FALSE(r.SetupMode);

    r = Parsed({"/opt/q/quorvane +/afterupgrade1"});  // one parameter holding all
    EXPECT_EQ(r.ExecutablePath, "/opt/q/quorvane");
    EXPECT_EQ(r.RestartParams, "/afterupgrade");
    EXPECT_TRUE(r.SetupMode);

    r = Parsed({"/opt/q/quorvane", "+", "0"});  // RestartParams " " split apart
    EXPECT_EQ(r.ExecutablePath, "/opt/q/quorvane");
    EXPECT_EQ(r.RestartParams, " ");

    r = Parsed({"/opt/q/quorvane", "+/a", "/b2"});
    EXPECT_EQ(r.RestartParams, "/a /b");
    EXPECT_FALSE(r.SetupMode);
}

TEST(ReplacerParameters, NothingToDoWithoutPathOrPlus) {
    EXPECT_FALSE(ParseReplacerParameters({}).has_value());
    EXPECT_FALSE(ParseReplacerParameters({"/opt/q/quorvane"}).has_value());
    EXPECT_FALSE(ParseReplacerParameters({"/opt/q/quorvane", "/afterupgrade0"}).has_value());
    EXPECT_FALSE(ParseReplacerParameters({"+/afterupgrade0"}).has_value());
    EXPECT_FALSE(ParseReplacerParameters({"", "+/afterupgrade0"}).has_value());
}

TEST(ReplacerParameters, RestartParamsBecomeArgumentsAtBlanks) {
    EXPECT_EQ(SplitRestartParams("/afterupgrade"), Params{"/afterupgrade"});
    EXPECT_EQ(SplitRestartParams(" "), Params{});
    EXPECT_EQ(SplitRestartParams(""), Params{});
    EXPECT_EQ(SplitRestartParams(" /a \t /b  "), (Params{"/a", "/b"}));
}
