#include "upgrader/utils/command_line.h"

#include <array>

namespace upgrader {

namespace {

// Where the folder part ends: after the last "/", "\" or ":".
qsizetype FileNameStart(const QString& path) {
    qsizetype at = -1;
    for (QChar delimiter : {u'/', u'\\', u':'})
        at = std::max(at, path.lastIndexOf(delimiter));
    return at + 1;
}

// The file extension: from the last "." that stands after the folder part.
QString FileExtension(const QString& path) {
    const qsizetype dot = path.lastIndexOf(u'.');
    return dot >= FileNameStart(path) ? path.mid(dot) : QString();
}

QString WithoutFirstQuotes(QString text, int count) {
    for (int i = 0; i < count; ++i) {
        const qsizetype quote = text.indexOf(u'"');
        if (quote < 0)
            break;
        text.remove(quote, 1);
    }
    return text;
}

// A quoted program, or quoted parameters after an unquoted program. False
// when the command holds no complete pair of quotes (it is left as it was).
bool SplitAtQuotes(QString& command, QString& parameters) {
    const qsizetype first = command.indexOf(u'"');
    if (first < 0)
        return false;
    QString text = command;
    text.remove(first, 1);
    const qsizetype second = text.indexOf(u'"');
    if (second < 0)
        return false;
    text.remove(second, 1);
    if (first == 0) {
        parameters = WithoutFirstQuotes(text.mid(second + 1).trimmed(), 2);
        command = text.left(second);
    } else {
        parameters = text.mid(first);
        command = text.left(first - 1);
    }
    return true;
}

void SplitAtSeparator(QString& command, QString& parameters) {
    static const std::array<QString, 5> separators = {QStringLiteral(" -"), QStringLiteral(" /"),
                                                      QStringLiteral(" \\"), QStringLiteral(","),
                                                      QStringLiteral(" %")};
    for (const QString& separator : separators) {
        if (!parameters.isEmpty())
            return;
        const qsizetype at = command.indexOf(separator);
        const bool dropped = separator == u",";
        const QString left = at < 0 ? command : command.left(at);
        const QString right = at < 0 ? QString() : command.mid(dropped ? at + 1 : at);
        if (!FileExtension(command).isEmpty() && FileExtension(left).isEmpty())
            continue;
        command = left;
        parameters = right;
    }
}

// rundll32 registrations name "folder\library.dll,Entry %1": the program keeps
// the library's entry, the parameters are what follows the first space.
void SplitRundll(const QString& given, QString& command, QString& parameters) {
    if (FileExtension(command).toUpper() != u".DLL" || !command.toUpper().contains(u"RUNDLL"))
        return;
    const qsizetype nameStart = FileNameStart(given);
    const QString name = given.mid(nameStart);
    const qsizetype space = name.indexOf(u' ');
    command = given.left(nameStart) + (space < 0 ? name : name.left(space));
    parameters = space < 0 ? QString() : name.mid(space + 1);
}

}  // namespace

void SplitCommandLine(QString& Command, QString& Parameters) {
    Parameters.clear();
    Command = Command.trimmed();
    if (Command.isEmpty())
        return;
    const QString given = Command;
    if (!SplitAtQuotes(Command, Parameters))
        SplitAtSeparator(Command, Parameters);
    SplitRundll(given, Command, Parameters);
    Command = Command.trimmed();
    Parameters = Parameters.trimmed();
}

}  // namespace upgrader
