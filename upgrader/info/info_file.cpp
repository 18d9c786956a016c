#include "upgrader/info/info_file.h"

#include <algorithm>

namespace upgrader {

namespace {

// Stands for the hash of an address listed twice with two different ones:
// no file has it.
const QByteArray kConflictingHashes = "conflicting hashes";

// Keys as long as this are indexed; the program's own are far shorter.
constexpr qsizetype kMostIndexedKey = 64;

// Where the character of GB18030 text that starts at `at` ends: a byte from
// 0x81 to 0xFE leads two bytes, or four (lead, digit, lead, digit); a lead
// byte that starts neither stands alone. 116 two-byte characters (倉 among
// them) have "}" as their second byte, which ends no value.
qsizetype CharacterEnd(const QByteArray& text, qsizetype at) {
    const auto byte = [&](qsizetype i) {
        return i < text.size() ? static_cast<unsigned char>(text.at(i)) : 0;
    };
    const auto isLead = [](unsigned char b) { return b >= 0x81 && b <= 0xfe; };
    const auto isDigit = [](unsigned char b) { return b >= '0' && b <= '9'; };
    if (!isLead(byte(at)) || at + 1 >= text.size())
        return at + 1;
    if (!isDigit(byte(at + 1)))
        return at + 2;
    return isLead(byte(at + 2)) && isDigit(byte(at + 3)) ? at + 4 : at + 1;
}

// The end of a value that starts at `start`: a braced one at the "}" that
// is a character of its own, a plain one at the first control byte.
qsizetype ValueEnd(const QByteArray& text, qsizetype start, bool braced) {
    qsizetype at = start;
    if (!braced) {
        while (at < text.size() && static_cast<unsigned char>(text[at]) >= 0x20)
            ++at;
        return at;
    }
    while (at < text.size() && text[at] != '}')
        at = CharacterEnd(text, at);
    return std::min(at, text.size());
}

}  // namespace

TauInfoText::TauInfoText(const QByteArray& Text) : text_(Text), folded_(FoldedWithoutNotice(Text)) {
    IndexEntries();
}

QByteArray TauInfoText::FoldedWithoutNotice(const QByteArray& Text) {
    QByteArray folded = Text.toLower();
    const QByteArray open = "#message={";
    const qsizetype start = folded.indexOf(open);
    if (start < 0)
        return folded;
    const qsizetype end = ValueEnd(Text, start + open.size(), true);
    if (end < Text.size())
        std::fill(folded.begin() + start + open.size(), folded.begin() + end, ' ');
    return folded;
}

QByteArray TauInfoText::Value(const QByteArray& Key, bool Braced) const {
    const QByteArray folded = Key.toLower();
    if (folded.size() > kMostIndexedKey || folded.contains('=') || folded.contains('#'))
        return UnindexedValue(folded, Braced);
    const auto entry = entries_.constFind(QByteArrayView(folded));
    if (entry == entries_.cend())
        return {};
    const qsizetype hash = Braced ? entry->braced : entry->plain;
    if (hash < 0)
        return {};
    const qsizetype start = hash + 1 + folded.size() + 1;
    return ValueFrom(Braced ? start + 1 : start, Braced);
}

// Each "#" belongs to the first "=" after it; keys longer than the indexed
// ones are left out, so the work is linear in the text.
void TauInfoText::IndexEntries() {
    QList<qsizetype> hashes;
    for (qsizetype at = 0; at < folded_.size(); ++at) {
        if (folded_[at] == '#') {
            hashes.append(at);
        } else if (folded_[at] == '=') {
            const bool braced = at + 1 < folded_.size() && folded_[at + 1] == '{';
            for (const qsizetype hash : hashes)
                if (at - hash - 1 <= kMostIndexedKey)
                    Note(QByteArrayView(folded_).sliced(hash + 1, at - hash - 1), hash, braced);
            hashes.clear();
        }
    }
}

void TauInfoText::Note(QByteArrayView Key, qsizetype Hash, bool Braced) {
    Entry& entry = entries_[Key];
    if (entry.plain < 0)
        entry.plain = Hash;
    if (Braced && entry.braced < 0)
        entry.braced = Hash;
}

QByteArray TauInfoText::UnindexedValue(const QByteArray& Folded, bool Braced) const {
    const QByteArray pattern = "#" + Folded + (Braced ? "={" : "=");
    const qsizetype found = folded_.indexOf(pattern);
    return found < 0 ? QByteArray() : ValueFrom(found + pattern.size(), Braced);
}

QByteArray TauInfoText::ValueFrom(qsizetype Start, bool Braced) const {
    return text_.mid(Start, ValueEnd(text_, Start, Braced) - Start);
}

// The keys of the upgrade's files in list order: "url", "url0", then the
// numbered ones from the next number after those found.
QList<QByteArray> TauInfoText::FileKeys() const {
    QList<QByteArray> keys;
    for (const char* key : {"url", "url0"})
        if (!Value(key, false).isEmpty())
            keys.append(key);
    for (qsizetype number = keys.size() + 1;; ++number) {
        QByteArray key = "url" + QByteArray::number(number);
        if (Value(key, false).isEmpty())
            return keys;
        keys.append(key);
    }
}

QList<QByteArray> TauInfoText::FileList() const {
    QList<QByteArray> list;
    for (const QByteArray& key : FileKeys())
        list.append(Value(key, false));
    return list;
}

// The entry with Suffix of each listed address, read by Parse (nothing for
// one that is missing or unreadable). An address listed twice whose entries
// do not agree, one of them missing included, gets Conflict: neither can be
// trusted. Addresses without an entry are left out.
template <typename Result, typename Parse>
QHash<QByteArray, Result> TauInfoText::PerAddress(const char* Suffix, Parse Read,
                                                  const Result& Conflict) const {
    QHash<QByteArray, std::optional<Result>> found;
    for (const QByteArray& key : FileKeys()) {
        const QByteArray address = Value(key, false);
        const std::optional<Result> value = Read(Value(key + Suffix, false));
        const auto known = found.constFind(address);
        found.insert(address, known != found.cend() && *known != value ? Conflict : value);
    }
    QHash<QByteArray, Result> values;
    for (auto entry = found.cbegin(); entry != found.cend(); ++entry)
        if (entry.value())
            values.insert(entry.key(), *entry.value());
    return values;
}

TauFileHashes TauInfoText::FileHashes() const {
    return PerAddress<QByteArray>(
        kHashKeySuffix,
        [](const QByteArray& text) {
            return text.isEmpty() ? std::nullopt : std::optional(text.toLower());
        },
        kConflictingHashes);
}

TauFileSizes TauInfoText::FileSizes() const {
    return PerAddress<qint64>(
        kSizeKeySuffix,
        [](const QByteArray& text) -> std::optional<qint64> {
            const bool digits =
                !text.isEmpty() && text.size() <= 15 &&
                std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
            return digits ? std::optional(text.toLongLong()) : std::nullopt;
        },
        qint64(-1));
}

TacUpgradeMethod TauInfoText::UpgradeMethod() const {
    const QByteArray method = Value("method", false);
    if (method.startsWith('1'))
        return umUseExternalSetup;
    if (method.startsWith('2'))
        return umRedirectToURL;
    return umSelfUpgrade;
}

QByteArray GetInfoValue(const QByteArray& Text, const QByteArray& Key, bool Braced) {
    return TauInfoText(Text).Value(Key, Braced);
}

void BuildFileList(const QByteArray& Text, QList<QByteArray>& List) {
    List = TauInfoText(Text).FileList();
}

TauFileHashes BuildFileHashes(const QByteArray& Text) {
    return TauInfoText(Text).FileHashes();
}

TacUpgradeMethod ReadUpgradeMethod(const QByteArray& Text) {
    return TauInfoText(Text).UpgradeMethod();
}

}  // namespace upgrader
