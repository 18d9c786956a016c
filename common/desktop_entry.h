#pragma once

#include <QString>
#include <QStringList>
#include <optional>

namespace common {

// The value of `key` in the `group` ("[Desktop Entry]") of a desktop entry
// or a desktop's defaults list; nothing when the file or the key is missing.
std::optional<QString> ValueInGroup(const QString& path, const QString& group, const QString& key);

// The Exec line of an installed entry's [Desktop Entry] group, unescaped;
// empty when the entry is not installed or has none.
QString DesktopEntryExecLine(const QString& entryId);

// The argument vector of an Exec line that opens `target` (a file path or an
// address): quoted arguments are unquoted, %f %F %u %U become the target and
// %% a "%", the other field codes are dropped, and the target is put last
// when the line names no place for it. Nothing when the quoting is broken or
// no program is left.
std::optional<QStringList> ExecArguments(const QString& execLine, const QString& target);

}  // namespace common
