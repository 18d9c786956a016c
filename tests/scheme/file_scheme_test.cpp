// The handler of local addresses as the engine drives it: files with their
// types, the not-found answer, and the reply that reads files in pieces.
// Listings and their links are tested in the real engine.
#include <gtest/gtest.h>

#include <unistd.h>
#include <QFile>
#include <QTemporaryDir>
#include <tuple>

#include "scheme/file_scheme.h"
#include "scheme/file_scheme_reply.h"
#include "tests/support/file_contents.h"
#include "tests/support/qt_printers.h"
#include "tests/support/restricted_folder.h"

namespace {

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
// engine asks for.
TEST(FileScheme, ServesFilesWithTheirTypes) {
    const QTemporaryDir folder;
    const QByteArray content("0123456789abcdefghij");
    const struct {
        const char *name, *mimeType;
        QByteArray content;
    } cases[] = {{"notes.txt", "text/plain; charset=utf-8", content},
                 {"chinese.txt", "text/plain; charset=utf-8", "\xe4\xb8\xad\xe6\x96\x87"},
                 {"gbk.txt", "text/plain", "\xd6\xd0\xce\xc4"},
                 {"REPORT2.PDF", "application/pdf", content},
                 {"page.html", "text/html; charset=utf-8", content},
                 {"blob.qvunknown", "application/octet-stream", content},
                 {"Makefile", "application/octet-stream", content}};
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
}

// Hidden and system entries are tested with the listing in the engine.
TEST(FileScheme, AnswersNotFoundWithThePathAsText) {
    const QTemporaryDir folder;
    const QString path = folder.path();
    ExpectNotFound(Fetch(LocalUrl(path + "/nothere.txt")), path + "/nothere.txt");
    WriteFile(path + "/notes.txt", "notes");
    // Markup in the path shows as text.
    const Answer markup = Fetch(QUrl::fromEncoded("local://c/tmp/%3Cscript%3Ealert(1)%3C"));
    ExpectNotFound(markup, QStringLiteral("/tmp/<script>alert(1)<"));
    EXPECT_FALSE(markup.body.contains("<script>"));
    // An existing file that cannot be opened.
    {
        const test_support::RestrictedFolder unreadable(path + "/notes.txt", 0444);
        ExpectNotFound(Fetch(LocalUrl(path + "/notes.txt")), path + "/notes.txt");
    }
    EXPECT_EQ(Fetch(LocalUrl(path + "/notes.txt")).body, "notes");
}

qint64 ResidentBytes() {
    QFile status(QStringLiteral("/proc/self/statm"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    return status.readAll().split(' ').value(1).toLongLong() * sysconf(_SC_PAGESIZE);
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
    EXPECT_TRUE(reply->isOpen());
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
