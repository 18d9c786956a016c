#include "upgrader/texts/upgrader_texts.h"

#include <QDir>
#include <QFile>
#include <QHash>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include "upgrader/texts/upgrader_language.h"

namespace upgrader {

namespace {

void AddFile(const QString& Path, QHash<int, QString>& Table) {
    QFile file(Path);
    if (!file.open(QIODevice::ReadOnly))
        return;
    const QJsonObject content = QJsonDocument::fromJson(file.readAll()).object();
    if (content.contains("number")) {
        Table.insert(content.value("number").toInt(), content.value("text").toString());
        return;
    }
    const int base = content.value("base").toInt();
    const QJsonArray texts = content.value("texts").toArray();
    for (int n = 0; n < texts.size(); ++n)
        Table.insert(base + n, texts.at(n).toString());
}

QHash<int, QString> ReadTable() {
    QHash<int, QString> table;
    const QDir folder(QStringLiteral(":/upgrader_texts"));
    for (const QString& name : folder.entryList({"*.json"}, QDir::Files))
        AddFile(folder.filePath(name), table);
    return table;
}

}  // namespace

QString LoadUpgraderString(int Number) {
    static const QHash<int, QString> table = ReadTable();
    return table.value(Number);
}

QString LoadUpgraderText(int N) {
    return LoadUpgraderString(LanguageBase() + N);
}

QString FormatUpgraderText(int N, const QList<TextArgument>& Arguments) {
    return FormatText(LoadUpgraderText(N), Arguments);
}

}  // namespace upgrader
