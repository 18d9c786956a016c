// The local scheme outside the engine: its texts (addresses to paths, the
// escapes of a listing's rows, sizes, dates, types and the listing order),
// the handler as the engine drives it (files with their types, the not-found
// answer) and the reply that reads files in pieces. Listings and their links
// are tested in the real engine.
#include <gtest/gtest.h>

#include <unistd.h>
#include <QDateTime>
#include <QFile>
#include <QTemporaryDir>
#include <tuple>

#include "scheme/file_scheme.h"
#include "scheme/file_scheme_reply.h"
#include "scheme/folder_entries.h"
#include "scheme/listing_texts.h"
#include "scheme/mime_type.h"
#include "scheme/script_escape.h"
#include "scheme/url_path.h"
#include "tests/support/file_contents.h"
#include "tests/support/qt_printers.h"
#include "tests/support/restricted_folder.h"

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

qint64 LocalTime(int hour, int minute, int second, int ms = 0) {
    return QDateTime(QDate(2024, 1, 2), QTime(hour, minute, second, ms), Qt::LocalTime)
        .toMSecsSinceEpoch();
}

// Sizes at every unit boundary; dates short, times long and without a zone,
// and no time at midnight.
TEST(ListingTexts, SizesAtEveryUnitBoundaryAndDatesWithoutZone) {
    for (const char* c : {"1023 -> 1023 B", "1024 -> 1.0 kB", "1048575 -> 1024.0 kB",
                          "1048576 -> 1.0 MB", "1125899906842624 -> 1.0 PB",
                          "1152921504606846975 -> 1024.0 PB", "1152921504606846976 -> big"}) {
        const auto [size, text] = Parts(c);
        EXPECT_EQ(scheme::SizeText(size.toLongLong()), QString(text)) << c;
    }

    const scheme::TDateText chinese{QLocale(QStringLiteral("zh_CN"))};
    EXPECT_EQ(chinese(LocalTime(15, 4, 5)), QStringLiteral("2024/1/2 15:04:05"));
    EXPECT_EQ(chinese(LocalTime(0, 0, 0)), QStringLiteral("2024/1/2"));
    // Only exactly midnight drops the time.
    EXPECT_EQ(chinese(LocalTime(0, 0, 0, 1)), QStringLiteral("2024/1/2 00:00:00"));
    EXPECT_EQ(chinese(scheme::kUnknownTime), QString());
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

using test_support::WriteFile;

struct Answer {
    scheme::TResponseHeaders headers;
    qint64 length = -1;
    QByteArray body;
};

// Drives a handler the way the engine does and collects the whole body.
Answer Fetch(const QUrl& url, qint64 pieceSize = 4096) {
    scheme::TFileScheme handler;
    EXPECT_TRUE(handler.ProcessRequest(url));
    Answer answer;
    handler.GetResponseHeaders(answer.headers, answer.length);
    QByteArray piece(pieceSize, '\0');
    qint64 bytesRead = 0;
    do {
        EXPECT_TRUE(handler.ReadResponse(piece.data(), pieceSize, bytesRead));
        answer.body += piece.left(bytesRead);
    } while (bytesRead > 0);
    return answer;
}

QUrl LocalUrl(const QString& path) {
    return QUrl(QStringLiteral("local://c") + path);
}

void ExpectNotFound(const Answer& answer, const QString& shownPath) {
    EXPECT_EQ(std::tuple(answer.headers.Status, answer.headers.StatusText, answer.headers.MimeType,
                         answer.length),
              std::tuple(404, QStringLiteral("Not found"), QStringLiteral("text/html"),
                         answer.body.size()));
    EXPECT_EQ(answer.body,
              "<html><head><meta http-equiv=\"content-type\" content=\"text/html; charset=UTF-8\"/>"
              "</head><body><h1>" +
                  shownPath.toHtmlEscaped().toUtf8() + "</h1><h2>not found</h2></body></html>");
}

// Types by extension only; text that is valid UTF-8 says so, other text is
// left to the view's default encoding. Every answer comes in the pieces the
// engine asks for. What cannot be served is not found, with the path as text
// (hidden and system entries are tested with the listing in the engine).
TEST(FileScheme, ServesFilesWithTheirTypesAndAnswersNotFoundWithThePath) {
    const QTemporaryDir folder;
    const QByteArray content("0123456789abcdefghij");
    const struct {
        const char *name, *mimeType;
        QByteArray content;
    } cases[] = {
        {"notes.txt", "text/plain; charset=utf-8", content},
        {"chinese.txt", "text/plain; charset=utf-8", "\xe4\xb8\xad\xe6\x96\x87"},
        {"gbk.txt", "text/plain", "\xd6\xd0\xce\xc4"},
        {"REPORT2.PDF", "application/pdf", content},
        {"page.html", "text/html; charset=utf-8", content},
        {"blob.qvunknown", "application/octet-stream", content},
    };
    for (const auto& c : cases) {
        WriteFile(folder.filePath(c.name), c.content);
        const Answer answer = Fetch(LocalUrl(folder.filePath(c.name)), 3);
        EXPECT_EQ(
            std::tuple(answer.headers.Status, answer.headers.StatusText, answer.headers.MimeType,
                       answer.length, answer.body),
            std::tuple(200, QStringLiteral("OK"), QString(c.mimeType), c.content.size(), c.content))
            << c.name;
    }
    // A link to a file is served as the file.
    ASSERT_EQ(symlink("notes.txt", QFile::encodeName(folder.filePath("link.txt")).constData()), 0);
    EXPECT_EQ(Fetch(LocalUrl(folder.filePath("link.txt"))).body, content);

    const QString path = folder.path();
    ExpectNotFound(Fetch(LocalUrl(path + "/nothere.txt")), path + "/nothere.txt");
    // Markup in the path shows as text.
    const Answer markup = Fetch(QUrl::fromEncoded("local://c/tmp/%3Cscript%3Ealert(1)%3C"));
    ExpectNotFound(markup, QStringLiteral("/tmp/<script>alert(1)<"));
    // An existing file that cannot be opened.
    {
        const test_support::RestrictedFolder unreadable(path + "/notes.txt", 0444);
        ExpectNotFound(Fetch(LocalUrl(path + "/notes.txt")), path + "/notes.txt");
    }
    EXPECT_EQ(Fetch(LocalUrl(path + "/notes.txt")).body, content);
}

qint64 ResidentBytes() {
    return test_support::ReadFile("/proc/self/statm").split(' ').value(1).toLongLong() *
           sysconf(_SC_PAGESIZE);
}

std::unique_ptr<scheme::TFileSchemeReply> ReplyFor(const QUrl& url) {
    auto handler = std::make_unique<scheme::TFileScheme>();
    handler->ProcessRequest(url);
    scheme::TResponseHeaders headers;
    qint64 length = 0;
    handler->GetResponseHeaders(headers, length);
    return std::make_unique<scheme::TFileSchemeReply>(std::move(handler), length);
}

TEST(FileSchemeReply, ReadsALargeFileInPiecesAndFailsWhenItShrinks) {
    const QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("large.bin"));
    const qint64 size = qint64(1) << 30;
    {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        ASSERT_TRUE(file.resize(size));  // sparse: takes no disk space
        file.seek(size / 2);
        file.write("middle");
    }
    const qint64 before = ResidentBytes();
    const auto reply = ReplyFor(LocalUrl(path));
    EXPECT_EQ(reply->size(), size);
    for (int i = 0; i < 16; ++i)
        ASSERT_EQ(reply->read(64 * 1024), QByteArray(64 * 1024, '\0'));
    ASSERT_TRUE(reply->seek(size / 2));
    EXPECT_EQ(reply->read(6), QByteArray("middle"));
    ASSERT_TRUE(reply->seek(size - 10));
    EXPECT_EQ(reply->read(64).size(), 10);
    EXPECT_TRUE(reply->atEnd());
    // Holding the 1 GiB file whole would show here as a gigabyte more.
    EXPECT_LT(ResidentBytes() - before, qint64(64) << 20);

    // The file shrinks after its length was announced: the rest never comes.
    const auto shrinking = ReplyFor(LocalUrl(path));
    ASSERT_TRUE(QFile::resize(path, 2));
    char piece[64];
    EXPECT_EQ(shrinking->read(piece, sizeof piece), 2);
    EXPECT_EQ(shrinking->read(piece, sizeof piece), -1);
    EXPECT_FALSE(shrinking->errorString().isEmpty());
}

}  // namespace
