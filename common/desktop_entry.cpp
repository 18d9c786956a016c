#include "common/desktop_entry.h"

#include <QFile>
#include <QStandardPaths>

namespace common {

namespace {

// Desktop entry values escape a few characters with a backslash.
QString UnescapedValue(const QString& value) {
    QString text;
    for (qsizetype i = 0; i < value.size(); ++i) {
        if (value[i] != u'\\' || i + 1 == value.size()) {
            text += value[i];
            continue;
        }
        const QChar next = value[++i];
        text += next == u's'   ? u' '
                : next == u'n' ? u'\n'
                : next == u't' ? u'\t'
                : next == u'r' ? u'\r'
                               : next;
    }
    return text;
}

// Splits at unquoted spaces; in double quotes a backslash keeps the next
// character. Each argument comes with whether any of it was quoted.
struct Word {
    QString text;
    bool quoted = false;
};

std::optional<QList<Word>> SplitExecWords(const QString& line) {
    QList<Word> words;
    std::optional<Word> word;
    bool inQuotes = false;
    for (qsizetype i = 0; i < line.size(); ++i) {
        const QChar c = line[i];
        if (!inQuotes && (c == u' ' || c == u'\t' || c == u'\n')) {
            if (word)
                words.append(*std::exchange(word, std::nullopt));
            continue;
        }
        if (!word)
            word = Word{};
        if (c == u'"') {
            inQuotes = !inQuotes;
            word->quoted = true;
        } else if (inQuotes && c == u'\\' && i + 1 < line.size()) {
            word->text += line[++i];
        } else {
            word->text += c;
        }
    }
    if (inQuotes)
        return std::nullopt;
    if (word)
        words.append(*word);
    return words;
}

bool IsTargetCode(const QString& word) {
    return word == u"%f" || word == u"%F" || word == u"%u" || word == u"%U";
}

// An unquoted word's field codes: "%%" is a "%", every other code goes.
QString WithoutFieldCodes(const QString& word) {
    QString text;
    for (qsizetype i = 0; i < word.size(); ++i) {
        if (word[i] != u'%')
            text += word[i];
        else if (i + 1 < word.size() && word[++i] == u'%')
            text += u'%';
    }
    return text;
}

}  // namespace

std::optional<QString> ValueInGroup(const QString& path, const QString& group, const QString& key) {
    QFile file(path);
    if (path.isEmpty() || !file.open(QIODevice::ReadOnly | QIODevice::Text))
        return std::nullopt;
    const QString prefix = key + u'=';
    bool inGroup = false;
    while (!file.atEnd()) {
        const QString line = QString::fromUtf8(file.readLine()).trimmed();
        if (line.startsWith(u'['))
            inGroup = line == group;
        else if (inGroup && line.startsWith(prefix))
            return line.mid(prefix.size());
    }
    return std::nullopt;
}

// Entry ids with "-" may also live in a sub-folder ("kde4-app.desktop" as
// "kde4/app.desktop").
QString DesktopEntryExecLine(const QString& entryId) {
    QString path = QStandardPaths::locate(QStandardPaths::ApplicationsLocation, entryId);
    if (path.isEmpty() && entryId.contains(u'-'))
        path = QStandardPaths::locate(QStandardPaths::ApplicationsLocation,
                                      QString(entryId).replace(entryId.indexOf(u'-'), 1, u'/'));
    const std::optional<QString> exec =
        ValueInGroup(path, QStringLiteral("[Desktop Entry]"), QStringLiteral("Exec"));
    return exec ? UnescapedValue(*exec) : QString();
}

std::optional<QStringList> ExecArguments(const QString& execLine, const QString& target) {
    const std::optional<QList<Word>> words = SplitExecWords(execLine);
    if (!words)
        return std::nullopt;
    QStringList arguments;
    bool targetPlaced = false;
    for (const Word& word : *words) {
        if (!word.quoted && IsTargetCode(word.text)) {
            // Never the program: a line that names no program before the
            // target would run the file itself.
            if (arguments.isEmpty())
                return std::nullopt;
            if (!targetPlaced)
                arguments << target;
            targetPlaced = true;
        } else if (word.quoted) {
            arguments << QString(word.text).replace(QStringLiteral("%%"), QStringLiteral("%"));
        } else if (const QString text = WithoutFieldCodes(word.text); !text.isEmpty()) {
            arguments << text;
        }
    }
    if (arguments.isEmpty())
        return std::nullopt;
    if (!targetPlaced)
        arguments << target;
    return arguments;
}

}  // namespace common
