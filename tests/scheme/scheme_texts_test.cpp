// The texts of the local scheme: addresses to paths, the escapes of a
// listing's rows, sizes, dates, types and the listing order.
#include <gtest/gtest.h>

#include <QDateTime>

#include "scheme/folder_entries.h"
#include "scheme/listing_texts.h"
#include "scheme/mime_type.h"
#include "scheme/script_escape.h"
#include "scheme/url_path.h"
#include "tests/support/qt_printers.h"

namespace {

// A case of a table: "input -> expected".
std::pair<QByteArray, QByteArray> Parts(const char* testCase) {
    const QByteArray text(testCase);
    const qsizetype arrow = text.indexOf(" -> ");
    return {text.left(arrow), text.mid(arrow + 4)};
}

// The host is required but names no drive; "%20" and "+" are spaces; either
// case of hexadecimal digits; the query and fragment are cut and never
// decoded; "%%" is a single "%" and what follows it is not an escape. Names
// are bytes: those of a GBK name reach the same bytes. A bad escape, a NUL or
// an address without host or path gives an empty path (not found).
TEST(UrlToPath, AddressesMapToAbsolutePathsOrFail) {
    for (const char* c :
         {"local://c/ -> /", "local://d/a -> /a", "local://c/a%20b+c%2b -> /a b c+",
          "local://c/x.txt?a%4 -> /x.txt", "local://c/x.txt#part -> /x.txt",
          "local://c/a%3Fb%23c -> /a?b#c", "local://c/a%%b -> /a%b", "local://c/%%41 -> /%41",
          "local://c/%d6%D0%ce%C4.txt -> /\xd6\xd0\xce\xc4.txt", "local://c/%FF -> /\xff"}) {
        const auto [url, path] = Parts(c);
        EXPECT_EQ(scheme::UrlToPath(QString::fromUtf8(url)), path) << c;
    }
    for (const char* url : {"local://c/a%4", "local://c/%ZZ", "local://c/a%00b", "local:///etc",
                            "local://c", "local:/c/etc", ""})
        EXPECT_EQ(scheme::UrlToPath(QString::fromUtf8(url)), QByteArray()) << url;
}

// ASCII only, so no page encoding changes a name; U+00E9 is escaped too (never
// squeezed to "?"), a character beyond U+FFFF as its two UTF-16 units, and a
// line break, which would end the script line.
TEST(ScriptEscape, OutputIsAsciiAndSafeInsideAQuotedScriptString) {
    for (const char* c :
         {"plain name.txt -> plain name.txt", "a\"b -> a\\\"b", "a\\b -> a\\\\b",
          "caf\xc3\xa9 -> caf\\u00E9", "\xf0\x9f\x98\x80 -> \\uD83D\\uDE00", "a\nb -> a\\u000Ab",
          "</script><b>& -> \\u003C/script\\u003E\\u003Cb\\u003E\\u0026"}) {
        const auto [text, escaped] = Parts(c);
        EXPECT_EQ(scheme::ScriptEscape(QString::fromUtf8(text)), escaped) << c;
    }
}

TEST(SizeText, EveryUnitBoundary) {
    for (const char* c : {"1023 -> 1023 B", "1024 -> 1.0 kB", "1048575 -> 1024.0 kB",
                          "1048576 -> 1.0 MB", "1125899906842624 -> 1.0 PB",
                          "1152921504606846975 -> 1024.0 PB", "1152921504606846976 -> big"}) {
        const auto [size, text] = Parts(c);
        EXPECT_EQ(scheme::SizeText(size.toLongLong()), QString(text)) << c;
    }
}

qint64 LocalTime(int hour, int minute, int second, int ms = 0) {
    return QDateTime(QDate(2024, 1, 2), QTime(hour, minute, second, ms), Qt::LocalTime)
        .toMSecsSinceEpoch();
}

TEST(DateText, ShortDateAndLongTimeWithoutZoneAndNoTimeAtMidnight) {
    const scheme::TDateText c{QLocale::c()};
    EXPECT_EQ(c(LocalTime(15, 4, 5)), QStringLiteral("2 Jan 2024 15:04:05"));
    EXPECT_EQ(c(LocalTime(0, 0, 0)), QStringLiteral("2 Jan 2024"));
    // Only exactly midnight drops the time.
    EXPECT_EQ(c(LocalTime(0, 0, 0, 1)), QStringLiteral("2 Jan 2024 00:00:00"));
    EXPECT_EQ(c(scheme::kUnknownTime), QString());
    const scheme::TDateText chinese{QLocale(QStringLiteral("zh_CN"))};
    EXPECT_EQ(chinese(LocalTime(15, 4, 5)), QStringLiteral("2024/1/2 15:04:05"));
}

// The registered type wins, then the PDF rule, then octet-stream.
TEST(MimeType, OfExtensions) {
    EXPECT_EQ(scheme::ResponseMimeType("", ".PdF"), QStringLiteral("application/pdf"));
    EXPECT_EQ(scheme::ResponseMimeType("application/x-special", ".pdf"),
              QStringLiteral("application/x-special"));
    EXPECT_EQ(scheme::ResponseMimeType("", ".pdfx"), QStringLiteral("application/octet-stream"));
    for (const char* c :
         {"/a.b/c.tar.gz -> .gz", "/a.b/c -> ", "/a/.profile -> .profile", "/a/c. -> ."}) {
        const auto [path, extension] = Parts(c);
        EXPECT_EQ(scheme::FileExtension(path), QString(extension)) << c;
    }
    EXPECT_EQ(scheme::RegisteredMimeType(QStringLiteral(".HTML")), QStringLiteral("text/html"));
    EXPECT_EQ(scheme::RegisteredMimeType(QStringLiteral(".qvunknown")), QString());
    EXPECT_EQ(scheme::RegisteredMimeType(QStringLiteral(".")), QString());
}

TEST(SortEntries, FoldersFirstParentOnTopThenBytesWithLettersAsCapitals) {
    std::vector<scheme::TFileInfo> entries;
    for (const char* folder : {"zeta", "Alpha", "..", "-dash", ".hidden"})
        entries.push_back({QString::fromUtf8(folder), {}, 0, 0, true});
    for (const char* file : {"b.txt", "\xe4\xb8\xad", "a.txt", "_under", "A.txt", "caf\xc3\xa9",
                             "CAFE", "10", "9", "\xc3\xa9"})
        entries.push_back({QString::fromUtf8(file), {}, 0, 0, false});
    scheme::SortEntries(entries);
    QStringList names;
    for (const scheme::TFileInfo& entry : entries)
        names << entry.Name;
    // ".." leads even where its bytes would not ("-" sorts before "."). Digits
    // byte-wise, capitals and small letters together, "_" after the letters,
    // then GBK: "é" (A8 A6) before "中" (D6 D0).
    EXPECT_EQ(names, QString::fromUtf8("..|-dash|.hidden|Alpha|zeta|10|9|A.txt|a.txt|b.txt|CAFE|"
                                       "café|_under|é|中")
                         .split('|'));
}

}  // namespace
