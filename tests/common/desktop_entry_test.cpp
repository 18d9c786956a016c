#include <gtest/gtest.h>

#include "common/desktop_entry.h"
#include "tests/support/qt_printers.h"

TEST(DesktopEntry, ExecLinesBecomeArgumentVectors) {
    const QString target = QStringLiteral("/home/a b/收藏夹.txt");
    struct Case {
        const char* exec;
        QStringList expected;  // empty: refused
    };
    const Case cases[] = {
        {"gedit %F", {"gedit", target}},
        {"editor", {"editor", target}},
        {"editor %U %f", {"editor", target}},
        {"editor --icon %i --name=%c %k %f", {"editor", "--icon", "--name=", target}},
        {"\"/opt/my editor/run\" \"a \\\"quoted\\\" %f\" %f",
         {"/opt/my editor/run", "a \"quoted\" %f", target}},
        {"editor 100%% \"50%% off\" %f", {"editor", "100%", "50% off", target}},
        {"\"unterminated %f", {}},
        {"%f editor", {}},
        {"", {}},
    };
    for (const Case& c : cases) {
        const std::optional<QStringList> arguments = common::ExecArguments(c.exec, target);
        EXPECT_EQ(arguments.value_or(QStringList()), c.expected) << c.exec;
    }
}
