#include "scheme/folder_entries.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <QDir>
#include <QFile>
#include <QStringDecoder>
#include <algorithm>
#include <cstring>
#include <memory>

#include "common/text_codec.h"
#include "scheme/listing_texts.h"

namespace scheme {

namespace {

const QString kParentName = QStringLiteral("..");

struct FolderCloser {
    void operator()(DIR* folder) const { closedir(folder); }
};
using FolderHandle = std::unique_ptr<DIR, FolderCloser>;

// A folder is the root when ".." is the folder itself.
bool IsRoot(int folder) {
    struct stat self {};
    struct stat parent {};
    return fstatat(folder, ".", &self, 0) == 0 && fstatat(folder, "..", &parent, 0) == 0 &&
           self.st_dev == parent.st_dev && self.st_ino == parent.st_ino;
}

// Reads an entry relative to its open folder, which spares the walk along the
// whole path for every entry of a large folder. A link counts as what it
// points to; a dangling one as itself. In a folder that may be read but not
// searched only the names and the kinds the folder itself records are known.
TFileInfo EntryOf(int folder, const char* name, unsigned char type) {
    TFileInfo entry;
    entry.RawName = QByteArray(name);
    entry.Name = DisplayName(entry.RawName);
    struct stat status {};
    if (fstatat(folder, name, &status, 0) != 0 &&
        fstatat(folder, name, &status, AT_SYMLINK_NOFOLLOW) != 0) {
        entry.IsFolder = type == DT_DIR;
        entry.Size = entry.IsFolder ? 0 : kUnknownSize;
        return entry;
    }
    entry.IsFolder = S_ISDIR(status.st_mode);
    if (!entry.IsFolder && S_ISREG(status.st_mode))
        entry.Size = status.st_size;
    entry.LastWriteTime =
        qint64(status.st_mtim.tv_sec) * 1000 + qint64(status.st_mtim.tv_nsec) / 1000000;
    return entry;
}

// Names that are plain ASCII are their own GBK bytes; only the others need
// the codec.
QByteArray SortKeyOf(const QString& name) {
    QString folded = name;
    bool ascii = true;
    for (QChar& c : folded) {
        if (c >= u'a' && c <= u'z')
            c = QChar(c.unicode() - u'a' + u'A');
        ascii = ascii && c.unicode() < 0x80;
    }
    return ascii ? folded.toLatin1() : common::ToGbk(folded);
}

struct SortableEntry {
    bool isParent;
    QByteArray key;
    TFileInfo* entry;
};

bool ListedBefore(const SortableEntry& a, const SortableEntry& b) {
    if (a.entry->IsFolder != b.entry->IsFolder)
        return a.entry->IsFolder;
    if (a.isParent != b.isParent)
        return a.isParent;
    if (a.key != b.key)
        return a.key < b.key;
    return a.entry->Name < b.entry->Name;
}

}  // namespace

QString DisplayName(const QByteArray& raw) {
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString text = utf8.decode(raw);
    return utf8.hasError() ? common::FromGbk(raw) : text;
}

std::vector<TFileInfo> ReadFolder(const QByteArray& folderPath) {
    std::vector<TFileInfo> entries;
    const FolderHandle folder(opendir(folderPath.constData()));
    if (!folder) {
        // Nothing of an unreadable folder is known but the way back up.
        if (QDir::cleanPath(QString::fromLatin1(folderPath)) != QLatin1String("/"))
            entries.push_back({kParentName, "..", 0, kUnknownTime, true});
        return entries;
    }
    const int descriptor = dirfd(folder.get());
    const bool listParent = !IsRoot(descriptor);
    while (const dirent* item = readdir(folder.get())) {
        if (std::strcmp(item->d_name, ".") == 0)
            continue;
        if (std::strcmp(item->d_name, "..") == 0 && !listParent)
            continue;
        entries.push_back(EntryOf(descriptor, item->d_name, item->d_type));
    }
    return entries;
}

void SortEntries(std::vector<TFileInfo>& entries) {
    std::vector<SortableEntry> sortable;
    sortable.reserve(entries.size());
    for (TFileInfo& entry : entries)
        sortable.push_back({entry.Name == kParentName, SortKeyOf(entry.Name), &entry});
    std::sort(sortable.begin(), sortable.end(), ListedBefore);
    std::vector<TFileInfo> sorted;
    sorted.reserve(entries.size());
    for (const SortableEntry& item : sortable)
        sorted.push_back(std::move(*item.entry));
    entries = std::move(sorted);
}

}  // namespace scheme
