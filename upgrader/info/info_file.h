#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QHash>
#include <QList>

#include "upgrader/info/upgrader_info.h"

namespace upgrader {

// The info file is read as raw 8-bit text: no character decoding, no line
// structure, any byte may occur. An entry is "#key=value" anywhere in it but
// inside the notice: between the first "#message={" and the "}" that closes
// it there are no entries (a notice is text for the user, and "#url1=" in it
// must not list a file). An unclosed notice hides nothing.

// A file's SHA-256 is written in the entry named after the file's own entry
// with this suffix ("#url1_sha256=<64 hex digits>"); no lookup of an address
// can match it, so readers that do not know it ignore it.
inline constexpr char kHashKeySuffix[] = "_sha256";

// The SHA-256 (hex as written, in lower case, unchecked) of each listed
// address that has one; an address listed twice whose entries differ (or
// where one has none) gets a text that is no SHA-256.
using TauFileHashes = QHash<QByteArray, QByteArray>;

// A file's size in bytes, in the entry named after the file's own entry with
// this suffix ("#url1_size=52431"); read as the hashes are.
inline constexpr char kSizeKeySuffix[] = "_size";

// The published size of each listed address that has one (decimal digits
// alone); an address listed twice whose sizes differ (or where one has none)
// gets -1.
using TauFileSizes = QHash<QByteArray, qint64>;

// An info text with its entries indexed once, so that reading it takes time
// linear in its size however many entries it holds.
class TauInfoText {
  public:
    explicit TauInfoText(const QByteArray& Text);
    TauInfoText(const TauInfoText&) = delete;
    TauInfoText& operator=(const TauInfoText&) = delete;

    // GetInfoValue, BuildFileList, BuildFileHashes and ReadUpgradeMethod
    // of this text.
    QByteArray Value(const QByteArray& Key, bool Braced) const;
    QList<QByteArray> FileList() const;
    TauFileHashes FileHashes() const;
    TauFileSizes FileSizes() const;
    TacUpgradeMethod UpgradeMethod() const;

  private:
    struct Entry {
        qsizetype plain = -1;   // where the first "#key=" begins
        qsizetype braced = -1;  // where the first "#key={" begins
    };
    static QByteArray FoldedWithoutNotice(const QByteArray& Text);
    void IndexEntries();
    void Note(QByteArrayView Key, qsizetype Hash, bool Braced);
    QByteArray UnindexedValue(const QByteArray& Folded, bool Braced) const;
    QByteArray ValueFrom(qsizetype Start, bool Braced) const;
    QList<QByteArray> FileKeys() const;
    template <typename Result, typename Parse>
    QHash<QByteArray, Result> PerAddress(const char* Suffix, Parse Read,
                                         const Result& Conflict) const;

    const QByteArray text_;
    // ASCII letters in lower case, the notice's text blanked; the keys point
    // into it, and values are read from text_ at the same places.
    const QByteArray folded_;
    QHash<QByteArrayView, Entry> entries_;
};

// The value of the first "#key=" entry (the key in any ASCII letter case), or
// empty when there is none. A plain value ends before the first control byte
// (below 0x20); a braced one ("#key={...") ends before the first "}" byte and
// may span lines. A value without its end runs to the end of the text.
// Values are not trimmed.
QByteArray GetInfoValue(const QByteArray& Text, const QByteArray& Key, bool Braced);

// The upgrade's file addresses: "url", then "url0", then the numbered entries
// from the next number after the ones found ("url1" with neither, "url2"
// with one, "url3" with both) up to the first missing or empty one.
void BuildFileList(const QByteArray& Text, QList<QByteArray>& List);

// The hashes of the listed files.
TauFileHashes BuildFileHashes(const QByteArray& Text);

// The "method" entry: its first byte "1" or "2" selects the external setup or
// the redirect; anything else is the self-upgrade.
TacUpgradeMethod ReadUpgradeMethod(const QByteArray& Text);

}  // namespace upgrader
