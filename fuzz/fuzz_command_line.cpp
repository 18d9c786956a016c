// SplitCommandLine on any registered command or desktop Exec line.
#include <QString>

#include "fuzz/fuzz_input.h"
#include "upgrader/utils/command_line.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    QString command = QString::fromUtf8(fuzz::Bytes(data, size));
    QString parameters = QStringLiteral("stale");
    upgrader::SplitCommandLine(command, parameters);
    fuzz::Require(command == command.trimmed() && parameters == parameters.trimmed());
    return 0;
}
