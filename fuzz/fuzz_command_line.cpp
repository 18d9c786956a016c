// SplitCommandLine on any registered command or desktop Exec line: the parts
// come trimmed, and a program written in quotes comes back as it was.
#include <QString>

#include "fuzz/fuzz_input.h"
#include "upgrader/utils/command_line.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QString input = QString::fromUtf8(fuzz::Bytes(data, size));
    QString command = input;
    QString parameters = QStringLiteral("stale");
    upgrader::SplitCommandLine(command, parameters);
    fuzz::Require(command == command.trimmed() && parameters == parameters.trimmed());

    // (A RUNDLL line keeps its library's entry in the program.)
    const QString program = QString(input).remove(u'"').section(u'\n', 0, 0).trimmed();
    if (program.contains(QStringLiteral("rundll"), Qt::CaseInsensitive))
        return 0;
    QString quoted = '"' + program + QStringLiteral("\" ") + input.section(u'\n', 1);
    QString rest;
    upgrader::SplitCommandLine(quoted, rest);
    fuzz::Require(quoted == program);
    return 0;
}
