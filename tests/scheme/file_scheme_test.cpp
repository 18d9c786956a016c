#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/resource.h>
#include <unistd.h>
#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QTemporaryDir>

#include "scheme/file_scheme.h"
#include "scheme/file_scheme_reply.h"
#include "scheme/listing_page.h"
#include "scheme/mime_type.h"
#include "scheme/script_escape.h"
#include "tests/scheme/scheme_test_folder.h"
#include "tests/support/qt_printers.h"
#include "tests/support/restricted_folder.h"

namespace {

using scheme_test::LocalUrlOf;
using scheme_test::TTestFolder;

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

QString UnescapeScriptString(const QString& escaped) {
    QString text;
    for (qsizetype i = 0; i < escaped.size(); ++i) {
        if (escaped[i] != QLatin1Char('\\')) {
            text += escaped[i];
        } else if (escaped[i + 1] == QLatin1Char('u')) {
            text += QChar(escaped.mid(i + 2, 4).toUShort(nullptr, 16));
            i += 5;
        } else {
            text += escaped[++i];
        }
    }
    return text;
}

struct Row {
    QString name;
    QString target;
    bool isFolder;
    QString size;
    QString date;
};

std::vector<Row> RowsOf(const QByteArray& page) {
    static const QRegularExpression rowLine(QStringLiteral(
        R"re(<script>addRow\("((?:[^"\\]|\\.)*)","((?:[^"\\]|\\.)*)",([01]),"((?:[^"\\]|\\.)*)","((?:[^"\\]|\\.)*)"\);</script>\r\n)re"));
    std::vector<Row> rows;
    auto it = rowLine.globalMatch(QString::fromLatin1(page.mid(scheme::ListingTemplate().size())));
    while (it.hasNext()) {
        const auto m = it.next();
        rows.push_back({UnescapeScriptString(m.captured(1)), UnescapeScriptString(m.captured(2)),
                        m.captured(3) == QLatin1String("1"), UnescapeScriptString(m.captured(4)),
                        UnescapeScriptString(m.captured(5))});
    }
    return rows;
}

QByteArray StartLine(const QString& folderPath) {
    return "<script>start(\"" + scheme::ScriptEscape(folderPath) + "\");</script>\r\n";
}

void ExpectListingOf(const Answer& answer, const QString& folderPath) {
    EXPECT_EQ(answer.headers.Status, 200);
    EXPECT_EQ(answer.headers.StatusText, QStringLiteral("OK"));
    EXPECT_EQ(answer.headers.MimeType, QStringLiteral("text/html"));
    EXPECT_EQ(answer.length, answer.body.size());
    ASSERT_TRUE(answer.body.startsWith(scheme::ListingTemplate()));
    EXPECT_TRUE(answer.body.mid(scheme::ListingTemplate().size()).startsWith(StartLine(folderPath)))
        << folderPath.toStdString();
}

void ExpectNotFound(const Answer& answer, const QString& shownPath) {
    EXPECT_EQ(answer.headers.Status, 404);
    EXPECT_EQ(answer.headers.StatusText, QStringLiteral("Not found"));
    EXPECT_EQ(answer.headers.MimeType, QStringLiteral("text/html"));
    EXPECT_EQ(answer.length, answer.body.size());
    EXPECT_EQ(answer.body,
              "<html><head><meta http-equiv=\"content-type\" content=\"text/html; charset=UTF-8\"/>"
              "</head><body><h1>" +
                  shownPath.toHtmlEscaped().toUtf8() + "</h1><h2>not found</h2></body></html>");
}

TEST(FileSchemeListing, ListsEveryEntryAndEveryLinkOpensWhatItNames) {
    const TTestFolder folder;
    const QString folderPath = folder.path() + QLatin1Char('/');
    const Answer listing = Fetch(folder.url());
    ExpectListingOf(listing, folderPath);
    // Everything after the template is ASCII, so no page encoding can change a name.
    for (const char c : listing.body.mid(scheme::ListingTemplate().size()))
        ASSERT_TRUE((c >= 0x20 && c < 0x7F) || c == '\r' || c == '\n') << int(c);

    const std::vector<Row> rows = RowsOf(listing.body);
    QStringList files = scheme_test::AwkwardFileNames();
    files << folder.hiddenName() << folder.fifoName() << folder.danglingLinkName();
    ASSERT_EQ(rows.size(), size_t(files.size() + 2));
    EXPECT_EQ(rows[0].name, QStringLiteral(".."));
    EXPECT_TRUE(rows[0].isFolder);
    EXPECT_EQ(rows[1].name, folder.folderName());
    EXPECT_TRUE(rows[1].isFolder);
    EXPECT_EQ(rows[1].size, QStringLiteral("0 B"));  // the page shows a folder's size blank
    QStringList listedFiles;
    for (size_t i = 2; i < rows.size(); ++i) {
        EXPECT_FALSE(rows[i].isFolder) << rows[i].name.toStdString();
        listedFiles << rows[i].name;
    }
    EXPECT_EQ(QSet<QString>(listedFiles.begin(), listedFiles.end()),
              QSet<QString>(files.begin(), files.end()));

    for (const Row& row : rows) {
        const QUrl target = folder.url().resolved(QUrl::fromEncoded(row.target.toLatin1()));
        const Answer opened = Fetch(target);
        const qsizetype index = scheme_test::AwkwardFileNames().indexOf(row.name);
        if (row.name == QLatin1String("..")) {
            ExpectListingOf(opened, QDir::cleanPath(folder.path() + "/..") + "/");
        } else if (row.isFolder) {
            ExpectListingOf(opened, folderPath + row.name + QLatin1Char('/'));
            EXPECT_EQ(RowsOf(opened.body).back().name, folder.fileInFolderName());
        } else if (index >= 0) {
            EXPECT_EQ(opened.headers.Status, 200) << row.name.toStdString();
            EXPECT_EQ(opened.body, TTestFolder::ContentOf(int(index))) << row.name.toStdString();
            EXPECT_EQ(row.size, QStringLiteral("%1 B").arg(opened.body.size()));
            EXPECT_FALSE(row.date.isEmpty());
        } else {
            // Hidden and system entries are listed but never served.
            ExpectNotFound(opened, folderPath + row.name);
        }
    }
}

TEST(FileSchemeListing, FolderWithoutFinalSlashAndTheRootWithoutParentRow) {
    const TTestFolder folder;
    const QUrl withSlash = folder.url();
    QUrl withoutSlash = withSlash;
    withoutSlash.setPath(withSlash.path().chopped(1));
    const Answer a = Fetch(withSlash);
    const Answer b = Fetch(withoutSlash);
    ExpectListingOf(b, folder.path() + QLatin1Char('/'));
    EXPECT_EQ(a.body, b.body);

    const Answer root = Fetch(QUrl(QStringLiteral("local://c/")));
    ExpectListingOf(root, QStringLiteral("/"));
    const std::vector<Row> rows = RowsOf(root.body);
    ASSERT_FALSE(rows.empty());
    for (const Row& row : rows)
        EXPECT_NE(row.name, QStringLiteral("..")) << "the root has no parent";
    EXPECT_TRUE(std::any_of(rows.begin(), rows.end(),
                            [](const Row& row) { return row.name == QLatin1String("tmp"); }));
}

// Names are bytes: a GBK name (from an archive made on Chinese Windows) is
// shown decoded as GB18030 and its link reaches its file; a name that is
// neither still reaches its file.
TEST(FileSchemeListing, NamesThatAreNotUtf8AreShownAndOpened) {
    const TTestFolder folder;
    const QByteArray folderBytes = QFile::encodeName(folder.path()) + '/';
    const struct {
        QByteArray raw;
        QString shown;
    } names[] = {{"\xd6\xd0\xce\xc4.txt", QString::fromUtf8("中文.txt")},
                 {"caf\xc3\xa9.txt", QString::fromUtf8("café.txt")}};
    // Qt's removal of the temporary folder cannot name these files.
    const auto removeNames = qScopeGuard([&] {
        for (const auto& n : names)
            ::unlink((folderBytes + n.raw).constData());
    });
    for (const auto& n : names) {
        const int file = ::open((folderBytes + n.raw).constData(), O_WRONLY | O_CREAT, 0644);
        ASSERT_GE(file, 0);
        ASSERT_EQ(::write(file, n.raw.constData(), size_t(n.raw.size())), n.raw.size());
        ::close(file);
    }
    const std::vector<Row> rows = RowsOf(Fetch(folder.url()).body);
    for (const auto& n : names) {
        const auto row =
            std::find_if(rows.begin(), rows.end(), [&](const Row& r) { return r.name == n.shown; });
        ASSERT_NE(row, rows.end()) << n.shown.toStdString();
        const Answer opened =
            Fetch(folder.url().resolved(QUrl::fromEncoded(row->target.toLatin1())));
        EXPECT_EQ(opened.headers.Status, 200) << n.shown.toStdString();
        EXPECT_EQ(opened.body, n.raw);
    }
}

// A folder that may be read but not searched lists its names, its folders as
// folders, sizes and dates unknown; one that may not be read lists only "..".
TEST(FileSchemeListing, FoldersThatCannotBeSearchedOrRead) {
    const TTestFolder folder;
    {
        const test_support::RestrictedFolder unsearchable(folder.path(), 0111);
        const std::vector<Row> rows = RowsOf(Fetch(folder.url()).body);
        ASSERT_GE(rows.size(), 3u);
        EXPECT_EQ(rows[0].name, QStringLiteral(".."));
        EXPECT_EQ(rows[1].name, folder.folderName());
        EXPECT_TRUE(rows[1].isFolder);
        for (size_t i = 2; i < rows.size(); ++i) {
            SCOPED_TRACE(rows[i].name.toStdString());
            EXPECT_FALSE(rows[i].isFolder);
            EXPECT_EQ(rows[i].size, QString());
            EXPECT_EQ(rows[i].date, QString());
        }
    }
    const test_support::RestrictedFolder unreadable(folder.path(), 0444);
    const std::vector<Row> rows = RowsOf(Fetch(folder.url()).body);
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0].name, QStringLiteral(".."));
    EXPECT_TRUE(rows[0].isFolder);
}

TEST(FileSchemeFiles, BytesInTheRequestedPiecesWithTheirTypes) {
    const TTestFolder folder;
    // Types by extension only; text that is valid UTF-8 says so, other text
    // is left to the view's default encoding.
    const QByteArray content("0123456789abcdefghij");
    struct Case {
        const char* name;
        const char* mimeType;
        QByteArray content;
    };
    const Case cases[] = {
        {"notes.txt", "text/plain; charset=utf-8", content},
        {"chinese.txt", "text/plain; charset=utf-8", "\xe4\xb8\xad\xe6\x96\x87"},
        {"gbk.txt", "text/plain", "\xd6\xd0\xce\xc4"},
        {"report.pdf", "application/pdf", content},
        {"REPORT2.PDF", "application/pdf", content},
        {"page.html", "text/html; charset=utf-8", content},
        {"blob.qvunknown", "application/octet-stream", content},
        {"no extension here", "application/octet-stream", content},
        {"Makefile", "application/octet-stream", content},
        {"README", "application/octet-stream", content},
    };
    for (const Case& c : cases) {
        QFile file(folder.path() + QLatin1Char('/') + QLatin1String(c.name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(c.content);
        file.close();
        const Answer answer = Fetch(folder.url(QLatin1String(c.name)), 3);
        EXPECT_EQ(answer.headers.Status, 200) << c.name;
        EXPECT_EQ(answer.headers.StatusText, QStringLiteral("OK"));
        EXPECT_EQ(answer.headers.MimeType, QLatin1String(c.mimeType)) << c.name;
        EXPECT_EQ(answer.length, c.content.size());
        EXPECT_EQ(answer.body, c.content) << c.name;
    }
    // "%20" and "+" both stand for a space; a query is no part of the name.
    const QString base = QStringLiteral("local://c") + folder.path();
    const QByteArray spaced = Fetch(QUrl(base + QStringLiteral("/with%20%20two+spaces.txt"))).body;
    EXPECT_EQ(spaced, TTestFolder::ContentOf(5));
    EXPECT_EQ(Fetch(QUrl(base + QStringLiteral("/notes.txt?v=1"))).body, content);
    EXPECT_EQ(Fetch(QUrl(base + QStringLiteral("/notes.txt#end"))).body, content);

    // A link to a file is served as the file.
    ASSERT_EQ(symlink("notes.txt", QFile::encodeName(folder.path() + "/link.txt").constData()), 0);
    EXPECT_EQ(Fetch(folder.url(QStringLiteral("link.txt"))).body, content);

    // The engine may move the read position (ranges).
    scheme::TFileScheme handler;
    handler.ProcessRequest(folder.url(QStringLiteral("notes.txt")));
    ASSERT_TRUE(handler.SeekResponse(15));
    char piece[16];
    qint64 bytesRead = 0;
    ASSERT_TRUE(handler.ReadResponse(piece, sizeof piece, bytesRead));
    EXPECT_EQ(QByteArray(piece, int(bytesRead)), QByteArray("fghij"));
}

TEST(FileSchemeNotFound, MissingHiddenSystemBadAddressesAndMarkupInThePath) {
    const TTestFolder folder;
    const QString folderPath = folder.path() + QLatin1Char('/');
    ExpectNotFound(Fetch(folder.url(QStringLiteral("nothere.txt"))), folderPath + "nothere.txt");
    ExpectNotFound(Fetch(folder.url(folder.hiddenName())), folderPath + folder.hiddenName());
    // A FIFO is never opened (that would wait for a writer for ever).
    ExpectNotFound(Fetch(folder.url(folder.fifoName())), folderPath + folder.fifoName());
    ExpectNotFound(Fetch(folder.url(folder.danglingLinkName())),
                   folderPath + folder.danglingLinkName());
    // A file inside a folder named like a file.
    ExpectNotFound(Fetch(folder.url(QStringLiteral("notes.txt/"))), folderPath + "notes.txt/");
    // A byte that is neither UTF-8 nor GB18030 shows as the replacement mark.
    ExpectNotFound(Fetch(QUrl::fromEncoded("local://c/tmp/%FF.txt")),
                   QString::fromUtf8("/tmp/\xef\xbf\xbd.txt"));
    // The engine hands addresses over as QUrl, which already reads a stray "%"
    // as a literal one ("%4" arrives as "%254"), so the path keeps it.
    ExpectNotFound(Fetch(QUrl::fromEncoded("local://c/tmp/a%4")), QStringLiteral("/tmp/a%4"));
    // Markup in the path shows as text.
    const Answer markup = Fetch(QUrl::fromEncoded("local://c/tmp/%3Cscript%3Ealert(1)%3C"));
    ExpectNotFound(markup, QStringLiteral("/tmp/<script>alert(1)<"));
    EXPECT_FALSE(markup.body.contains("<script>"));
}

// Lowers the limit of open files so that the next open fails, for as long
// as the object lives.
class TNoFileHandlesLeft {
  public:
    TNoFileHandlesLeft() {
        getrlimit(RLIMIT_NOFILE, &saved_);
        const int lowestFree = dup(0);
        close(lowestFree);
        rlimit lowered = saved_;
        lowered.rlim_cur = rlim_t(lowestFree);
        setrlimit(RLIMIT_NOFILE, &lowered);
    }
    ~TNoFileHandlesLeft() { setrlimit(RLIMIT_NOFILE, &saved_); }

  private:
    rlimit saved_{};
};

TEST(FileSchemeNotFound, AnExistingFileThatCannotBeOpened) {
    const TTestFolder folder;
    const QString name = scheme_test::AwkwardFileNames().first();
    scheme::RegisteredMimeType(QStringLiteral(".txt"));  // the MIME database is loaded
    Answer answer;
    {
        const TNoFileHandlesLeft noHandles;
        answer = Fetch(folder.url(name));
    }
    ExpectNotFound(answer, folder.path() + QLatin1Char('/') + name);
    EXPECT_EQ(Fetch(folder.url(name)).headers.Status, 200);
}

std::unique_ptr<scheme::TFileSchemeReply> ReplyFor(const QUrl& url) {
    auto handler = std::make_unique<scheme::TFileScheme>();
    handler->ProcessRequest(url);
    scheme::TResponseHeaders headers;
    qint64 length = 0;
    handler->GetResponseHeaders(headers, length);
    return std::make_unique<scheme::TFileSchemeReply>(std::move(handler), length);
}

TEST(FileSchemeReply, DeliversTheAnnouncedLengthOrAnError) {
    const TTestFolder folder;
    const QString name = scheme_test::AwkwardFileNames().first();
    const auto reply = ReplyFor(folder.url(name));
    EXPECT_TRUE(reply->isOpen());
    EXPECT_FALSE(reply->isSequential());
    EXPECT_EQ(reply->size(), TTestFolder::ContentOf(0).size());
    EXPECT_EQ(reply->read(3), TTestFolder::ContentOf(0).left(3));
    ASSERT_TRUE(reply->seek(1));
    EXPECT_EQ(reply->readAll(), TTestFolder::ContentOf(0).mid(1));
    EXPECT_TRUE(reply->atEnd());

    const auto listing = ReplyFor(folder.url());
    EXPECT_EQ(listing->readAll().size(), listing->size());

    // The file shrinks after its length was announced.
    const auto shrinking = ReplyFor(folder.url(name));
    ASSERT_TRUE(QFile::resize(folder.path() + QLatin1Char('/') + name, 2));
    char piece[64];
    EXPECT_EQ(shrinking->read(piece, sizeof piece), 2);
    EXPECT_EQ(shrinking->read(piece, sizeof piece), -1);
    EXPECT_FALSE(shrinking->errorString().isEmpty());
}

qint64 ResidentBytes() {
    QFile status(QStringLiteral("/proc/self/statm"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    return status.readAll().split(' ').value(1).toLongLong() * sysconf(_SC_PAGESIZE);
}

TEST(FileSchemeFiles, ALargeFileIsReadInPiecesNeverWhole) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("large.bin"));
    const qint64 size = qint64(1) << 30;
    {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        ASSERT_TRUE(file.resize(size));  // sparse: takes no disk space
        file.seek(size / 2);
        file.write("middle");
    }
    const qint64 before = ResidentBytes();
    scheme::TFileScheme handler;
    handler.ProcessRequest(LocalUrlOf(path));
    scheme::TResponseHeaders headers;
    qint64 length = 0;
    handler.GetResponseHeaders(headers, length);
    EXPECT_EQ(length, size);
    EXPECT_EQ(headers.MimeType, QStringLiteral("application/octet-stream"));
    QByteArray piece(64 * 1024, 'x');
    qint64 bytesRead = 0;
    for (int i = 0; i < 16; ++i) {
        ASSERT_TRUE(handler.ReadResponse(piece.data(), piece.size(), bytesRead));
        ASSERT_EQ(bytesRead, piece.size());
    }
    EXPECT_EQ(piece, QByteArray(piece.size(), '\0'));
    ASSERT_TRUE(handler.SeekResponse(size / 2));
    ASSERT_TRUE(handler.ReadResponse(piece.data(), 6, bytesRead));
    EXPECT_EQ(piece.left(int(bytesRead)), QByteArray("middle"));
    ASSERT_TRUE(handler.SeekResponse(size - 10));
    ASSERT_TRUE(handler.ReadResponse(piece.data(), piece.size(), bytesRead));
    EXPECT_EQ(bytesRead, 10);
    ASSERT_TRUE(handler.ReadResponse(piece.data(), piece.size(), bytesRead));
    EXPECT_EQ(bytesRead, 0);  // the end
    // Holding the 1 GiB file whole would show here as a gigabyte more.
    EXPECT_LT(ResidentBytes() - before, qint64(64) << 20);
}

}  // namespace
