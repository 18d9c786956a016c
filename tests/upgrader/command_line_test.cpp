#include <gtest/gtest.h>

#include "upgrader/utils/command_line.h"

using namespace upgrader;

namespace {

struct Split {
    QString program;
    QString parameters;
};

Split SplitOf(const QString& commandLine) {
    Split result{commandLine, QStringLiteral("stale")};
    SplitCommandLine(result.program, result.parameters);
    return result;
}

struct Case {
    const char* line;
    const char* program;
    const char* parameters;
};

}  // namespace

// Quoted programs and parameters, the separators in their order (the
// extension kept), and rundll registrations that keep the library entry.
TEST(SplitCommandLine, ProgramAndParameters) {
    const Case cases[] = {
        {R"("C:\Program Files\Internet Explorer\iexplore.exe" "%1")",
         R"(C:\Program Files\Internet Explorer\iexplore.exe)", "%1"},
        {R"(  "C:\Program Files\x.exe" -nohome "%1" )", R"(C:\Program Files\x.exe)", "-nohome %1"},
        {R"("/opt/My Browser/browser" %u)", "/opt/My Browser/browser", "%u"},
        {R"(C:\x.exe "%1")", R"(C:\x.exe)", "%1"},
        {R"(C:\app.exe -a "quoted arg" -b)", R"(C:\app.exe -a)", "quoted arg -b"},
        {R"("unclosed program %1)", R"("unclosed program)", "%1"},
        {"firefox %u", "firefox", "%u"},
        {"/usr/bin/firefox-esr %u", "/usr/bin/firefox-esr", "%u"},
        {"/usr/lib/chromium/chromium --new-window %U", "/usr/lib/chromium/chromium",
         "--new-window %U"},
        {R"(C:\Windows\notepad.exe /p %1)", R"(C:\Windows\notepad.exe)", "/p %1"},
        {R"(C:\tools\viewer.exe \\server\share)", R"(C:\tools\viewer.exe)", R"(\\server\share)"},
        {"program.exe,arg", "program.exe", "arg"},
        // " -" would cut the ".exe" off: the later " %" splits instead.
        {R"(C:\My Stuff -x\app.exe %1)", R"(C:\My Stuff -x\app.exe)", "%1"},
        // " -" comes before " %" in the list.
        {"app.exe %1 -x", "app.exe %1", "-x"},
        {"plain", "plain", ""},
        {"   ", "", ""},
        {"", "", ""},
        {R"(rundll32.exe C:\WINDOWS\system32\shimgvw.dll,ImageView_Fullscreen %1)",
         R"(rundll32.exe C:\WINDOWS\system32\shimgvw.dll,ImageView_Fullscreen)", "%1"},
        {R"(C:\WINDOWS\RUNDLL32.EXE C:\WINDOWS\lib.dll,Open)",
         R"(C:\WINDOWS\RUNDLL32.EXE C:\WINDOWS\lib.dll,Open)", ""},
        // Without RUNDLL the comma splits as usual.
        {R"(C:\WINDOWS\other.exe C:\WINDOWS\lib.dll,Open %1)",
         R"(C:\WINDOWS\other.exe C:\WINDOWS\lib.dll)", "Open %1"},
    };
    for (const Case& c : cases) {
        const Split split = SplitOf(QString::fromUtf8(c.line));
        EXPECT_EQ(split.program, QString::fromUtf8(c.program)) << c.line;
        EXPECT_EQ(split.parameters, QString::fromUtf8(c.parameters)) << c.line;
    }
}
