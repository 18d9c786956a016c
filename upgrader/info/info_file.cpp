#include "upgrader/info/info_file.h"

#include <QHash>

namespace upgrader {

namespace {

// Stands for the hash of an address listed twice with two different ones:
// no file has it.
const QByteArray kConflictingHashes = "conflicting hashes";

// Keys as long as this are indexed; the program's own are far shorter.
constexpr qsizetype kMostIndexedKey = 64;

// The text's entries, found once: for each key (folded to lower case) the
// positions of its "#key=" patterns, in text order, so that every lookup
// costs the same whatever the size of the text. Values are taken from the
// text as written.
class InfoText {
  public:
    explicit InfoText(const QByteArray& text) : text_(text) { IndexEntries(); }

    QByteArray Value(const QByteArray& key, bool braced) const {
        const QByteArray folded = key.toLower();
        if (folded.size() > kMostIndexedKey || folded.contains('=') || folded.contains('#'))
            return UnindexedValue(folded, braced);
        for (const qsizetype hash : entries_.value(folded)) {
            const qsizetype start = hash + 1 + folded.size() + 1;
            if (!braced)
                return ValueFrom(start, false);
            if (start < text_.size() && text_[start] == '{')
                return ValueFrom(start + 1, true);
        }
        return {};
    }

  private:
    // Each "#" belongs to the first "=" after it; keys longer than the
    // indexed ones are left out, so the work is linear in the text.
    void IndexEntries() {
        const QByteArray folded = text_.toLower();
        QList<qsizetype> hashes;
        for (qsizetype at = 0; at < folded.size(); ++at) {
            if (folded[at] == '#') {
                hashes.append(at);
            } else if (folded[at] == '=') {
                for (const qsizetype hash : hashes)
                    if (at - hash - 1 <= kMostIndexedKey)
                        entries_[folded.mid(hash + 1, at - hash - 1)].append(hash);
                hashes.clear();
            }
        }
    }

    QByteArray UnindexedValue(const QByteArray& folded, bool braced) const {
        const QByteArray pattern = "#" + folded + (braced ? "={" : "=");
        const qsizetype found = text_.toLower().indexOf(pattern);
        return found < 0 ? QByteArray() : ValueFrom(found + pattern.size(), braced);
    }

    QByteArray ValueFrom(qsizetype start, bool braced) const {
        qsizetype end = start;
        while (end < text_.size() && !EndsValue(text_[end], braced))
            ++end;
        return text_.mid(start, end - start);
    }

    static bool EndsValue(char byte, bool braced) {
        return braced ? byte == '}' : static_cast<unsigned char>(byte) < 0x20;
    }

    const QByteArray& text_;
    QHash<QByteArray, QList<qsizetype>> entries_;
};

// The keys of the upgrade's files in list order: "url", "url0", then the
// numbered ones from the next number after those found.
QList<QByteArray> FileKeys(const InfoText& info) {
    QList<QByteArray> keys;
    for (const char* key : {"url", "url0"})
        if (!info.Value(key, false).isEmpty())
            keys.append(key);
    for (qsizetype number = keys.size() + 1;; ++number) {
        QByteArray key = "url" + QByteArray::number(number);
        if (info.Value(key, false).isEmpty())
            return keys;
        keys.append(key);
    }
}

}  // namespace

QByteArray GetInfoValue(const QByteArray& Text, const QByteArray& Key, bool Braced) {
    return InfoText(Text).Value(Key, Braced);
}

void BuildFileList(const QByteArray& Text, QList<QByteArray>& List) {
    List.clear();
    const InfoText info(Text);
    for (const QByteArray& key : FileKeys(info))
        List.append(info.Value(key, false));
}

TauFileHashes BuildFileHashes(const QByteArray& Text) {
    TauFileHashes hashes;
    const InfoText info(Text);
    for (const QByteArray& key : FileKeys(info)) {
        const QByteArray address = info.Value(key, false);
        const QByteArray hash = info.Value(key + kHashKeySuffix, false).toLower();
        const auto known = hashes.constFind(address);
        // One address listed twice with two hashes has no hash to trust.
        if (known != hashes.cend() && *known != hash)
            hashes.insert(address, kConflictingHashes);
        else if (!hash.isEmpty())
            hashes.insert(address, hash);
    }
    return hashes;
}

TacUpgradeMethod ReadUpgradeMethod(const QByteArray& Text) {
    const QByteArray method = GetInfoValue(Text, "method", false);
    if (method.startsWith('1'))
        return umUseExternalSetup;
    if (method.startsWith('2'))
        return umRedirectToURL;
    return umSelfUpgrade;
}

}  // namespace upgrader
