#include "scheme/folder_entries.h"

#include <QDateTime>
#include <QDirIterator>
#include <QFileInfo>
#include <algorithm>

#include "common/text_codec.h"

namespace scheme {

namespace {

const QString kParentName = QStringLiteral("..");

TFileInfo EntryOf(const QFileInfo& info) {
    TFileInfo entry;
    entry.Name = info.fileName();
    entry.IsFolder = info.isDir();
    if (!entry.IsFolder)
        entry.Size = info.size();
    const QDateTime modified = info.lastModified();
    if (modified.isValid())
        entry.LastWriteTime = modified.toMSecsSinceEpoch();
    return entry;
}

QByteArray SortKeyOf(const QString& name) {
    QString folded = name;
    for (QChar& c : folded)
        if (c >= u'a' && c <= u'z')
            c = QChar(c.unicode() - u'a' + u'A');
    return common::ToGbk(folded);
}

struct SortableEntry {
    bool isParent;
    QByteArray key;
    QByteArray exactKey;
    TFileInfo* entry;
};

bool ListedBefore(const SortableEntry& a, const SortableEntry& b) {
    if (a.entry->IsFolder != b.entry->IsFolder)
        return a.entry->IsFolder;
    if (a.isParent != b.isParent)
        return a.isParent;
    if (a.key != b.key)
        return a.key < b.key;
    return a.exactKey < b.exactKey;
}

}  // namespace

std::vector<TFileInfo> ReadFolder(const QString& folderPath) {
    std::vector<TFileInfo> entries;
    const bool hasParent = QFileInfo(folderPath).canonicalFilePath() != QLatin1String("/");
    QDirIterator it(folderPath, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDot);
    while (it.hasNext()) {
        it.next();
        const QFileInfo info = it.fileInfo();
        if (info.fileName() == kParentName && !hasParent)
            continue;
        entries.push_back(EntryOf(info));
    }
    return entries;
}

void SortEntries(std::vector<TFileInfo>& entries) {
    std::vector<SortableEntry> sortable;
    sortable.reserve(entries.size());
    for (TFileInfo& entry : entries)
        sortable.push_back(
            {entry.Name == kParentName, SortKeyOf(entry.Name), common::ToGbk(entry.Name), &entry});
    std::sort(sortable.begin(), sortable.end(), ListedBefore);
    std::vector<TFileInfo> sorted;
    sorted.reserve(entries.size());
    for (const SortableEntry& item : sortable)
        sorted.push_back(std::move(*item.entry));
    entries = std::move(sorted);
}

}  // namespace scheme
