// Desktop entry Exec lines: any line gives an argument vector with the
// target exactly once, or none; arguments written with the entry's quoting
// come back as they were.
#include <QStringList>

#include "common/desktop_entry.h"
#include "fuzz/fuzz_input.h"

namespace {

const QString kTarget = QStringLiteral("\x01target\x01");

// An argument as a desktop entry writes it: quoted, with ", `, $ and \
// escaped, and % doubled.
QString Quoted(QString argument) {
    for (const QString special : {"\\", "\"", "`", "$"})
        argument.replace(special, "\\" + special);
    return '"' + argument.replace("%", "%%") + '"';
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QString line = QString::fromUtf8(fuzz::Bytes(data, size)).remove(u'\x01');
    if (const std::optional<QStringList> arguments = common::ExecArguments(line, kTarget))
        fuzz::Require(!arguments->isEmpty() && arguments->count(kTarget) == 1 &&
                      arguments->first() != kTarget);

    const QStringList written = line.split(u'\n');
    QStringList quoted;
    for (const QString& argument : written)
        quoted << Quoted(argument);
    const std::optional<QStringList> read =
        common::ExecArguments(quoted.join(u' ') + QStringLiteral(" %f"), kTarget);
    fuzz::Require(read && *read == written + QStringList{kTarget});
    return 0;
}
