// The local scheme in the real engine: listings, links, downloads, the
// not-found page, and the refusal of ordinary web pages.
#include <gtest/gtest.h>

#include <unistd.h>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <QWebEngineDownloadRequest>
#include <QWebEnginePage>
#include <QWebEngineProfile>
#include <QWebEngineSettings>
#include <QWebEngineUrlRequestJob>
#include <functional>

#include "app/engine.h"
#include "scheme/file_scheme_factory.h"
#include "tests/scheme/scheme_test_folder.h"
#include "tests/support/nginx_server.h"
#include "tests/support/qt_printers.h"
#include "tests/support/wait.h"

namespace {

using scheme_test::LocalUrlOf;
using scheme_test::TTestFolder;
using test_support::WaitUntil;

// The program's factory, noting every address that reaches it.
class TNotingFactory : public scheme::TFileSchemeFactory {
  public:
    using TFileSchemeFactory::TFileSchemeFactory;
    void requestStarted(QWebEngineUrlRequestJob* job) override {
        requested << job->requestUrl();
        TFileSchemeFactory::requestStarted(job);
        // The engine reads the answer from this thread's event loop: nothing
        // of it has been read yet.
        if (onAnswerPrepared)
            onAnswerPrepared(job->requestUrl());
    }
    QList<QUrl> requested;
    // Runs between the announced length and the engine's first read.
    std::function<void(const QUrl&)> onAnswerPrepared;
};

TNotingFactory& Factory() {
    static TNotingFactory* factory = [] {
        auto* created = new TNotingFactory(qApp);
        app::RegisterSchemeHandlerFactory(created);
        return created;
    }();
    return *factory;
}

class LocalSchemeInEngine : public testing::Test {
  protected:
    void SetUp() override {
        Factory();
        connect();
    }

    void connect() {
        QObject::connect(&page, &QWebEnginePage::loadFinished, [this](bool ok) {
            ++loadEnds;
            lastLoadOk = ok;
        });
    }

    bool LoadAndWait(const QUrl& url) {
        const int before = loadEnds;
        page.load(url);
        EXPECT_TRUE(WaitUntil([&] { return loadEnds > before; })) << url.toString().toStdString();
        return lastLoadOk;
    }

    QVariant RunScript(const QString& script) {
        QVariant result;
        bool done = false;
        page.runJavaScript(script, [&](const QVariant& value) {
            result = value;
            done = true;
        });
        EXPECT_TRUE(WaitUntil([&] { return done; }));
        return result;
    }

    QString TextOf(const QString& selector) {
        return RunScript(QStringLiteral("(function(){var e=document.querySelector('%1');"
                                        "return e ? e.textContent : null;})()")
                             .arg(selector))
            .toString();
    }

    // The listing's rows as [link text, link class, size, date].
    QList<QStringList> ListedRows() {
        const QVariantList rows =
            RunScript(
                QStringLiteral(
                    "Array.from(document.querySelectorAll('#table tbody tr')).map(function(r){"
                    "var a=r.querySelector('a');return [a.textContent,a.className,"
                    "r.cells[1].textContent,r.cells[2].textContent];})"))
                .toList();
        QList<QStringList> result;
        for (const QVariant& row : rows)
            result << row.toStringList();
        return result;
    }

    // Clicks the link of a row as a user would and waits for what it opens.
    void ClickRow(int index) {
        const int before = loadEnds;
        RunScript(
            QStringLiteral("document.querySelectorAll('#table tbody a')[%1].click()").arg(index));
        ASSERT_TRUE(WaitUntil([&] { return loadEnds > before; }));
    }

    QWebEnginePage page;
    int loadEnds = 0;
    bool lastLoadOk = false;
};

TEST_F(LocalSchemeInEngine, ListingShowsEveryNameAndEveryLinkOpensItsEntry) {
    const TTestFolder folder;
    const QString folderPath = folder.path() + QLatin1Char('/');
    ASSERT_TRUE(LoadAndWait(folder.url()));
    EXPECT_EQ(page.title(), QStringLiteral("Index of ") + folderPath);
    EXPECT_EQ(TextOf(QStringLiteral("#header")), QStringLiteral("Index of ") + folderPath);
    EXPECT_EQ(TextOf(QStringLiteral("th")), QStringLiteral("Name"));

    const QList<QStringList> rows = ListedRows();
    const QStringList names = scheme_test::AwkwardFileNames();
    ASSERT_EQ(rows.size(), names.size() + 5);  // "..", the sub-folder and three special entries
    EXPECT_EQ(rows[0], (QStringList{"[Parent directory]", "icon up", "", ""}));
    EXPECT_EQ(rows[1].mid(0, 3),
              (QStringList{folder.folderName() + QLatin1Char('/'), "icon dir", ""}));
    for (int i = 0; i < rows.size(); ++i) {
        SCOPED_TRACE(rows[i][0].toStdString());
        ASSERT_TRUE(LoadAndWait(folder.url()));
        ClickRow(i);
        const QString text = rows[i][0];
        const qsizetype index = names.indexOf(text);
        if (i == 0) {
            EXPECT_EQ(page.title(), QStringLiteral("Index of ") +
                                        QDir::cleanPath(folderPath + QStringLiteral("..")) + "/");
        } else if (i == 1) {
            EXPECT_EQ(page.title(), QStringLiteral("Index of ") + folderPath + text);
            EXPECT_EQ(ListedRows().last()[0], folder.fileInFolderName());
        } else if (index >= 0) {
            EXPECT_EQ(rows[i][1], QStringLiteral("icon file"));
            EXPECT_EQ(rows[i][2],
                      QStringLiteral("%1 B").arg(TTestFolder::ContentOf(int(index)).size()));
            EXPECT_FALSE(rows[i][3].isEmpty());
            EXPECT_EQ(TextOf(QStringLiteral("body")),
                      QString::fromLatin1(TTestFolder::ContentOf(int(index))));
        } else {
            // The hidden file, the FIFO and the dangling link are listed but not served.
            EXPECT_TRUE(text == folder.hiddenName() || text == folder.fifoName() ||
                        text == folder.danglingLinkName());
            EXPECT_EQ(TextOf(QStringLiteral("h1")), folderPath + text);
            EXPECT_EQ(TextOf(QStringLiteral("h2")), QStringLiteral("not found"));
        }
    }
}

TEST_F(LocalSchemeInEngine, AMissingPathShowsTheNotFoundPage) {
    const TTestFolder folder;
    const QString missing = folder.path() + QStringLiteral("/nothere <b>.txt");
    // The engine gets the page with status 200: Qt WebEngine 6.4 cannot reply a
    // body with another status (the handler's own answer says 404).
    EXPECT_TRUE(LoadAndWait(LocalUrlOf(missing)));
    EXPECT_EQ(TextOf(QStringLiteral("h1")), missing);
    EXPECT_EQ(TextOf(QStringLiteral("h2")), QStringLiteral("not found"));
    EXPECT_EQ(RunScript(QStringLiteral("document.querySelectorAll('b').length")).toInt(), 0);
}

// With the view's default encoding (GBK): a UTF-8 text file shows as written
// ("中文", not "涓枃"), and a GBK one still does.
TEST_F(LocalSchemeInEngine, TextFilesShowInTheirOwnEncoding) {
    const TTestFolder folder;
    page.settings()->setDefaultTextEncoding(QStringLiteral("GBK"));
    for (const auto& [name, bytes] : {std::pair{"utf8.txt", "\xe4\xb8\xad\xe6\x96\x87"},
                                      std::pair{"gbk.txt", "\xd6\xd0\xce\xc4"}}) {
        QFile file(folder.path() + QLatin1Char('/') + QLatin1String(name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
        file.close();
        ASSERT_TRUE(LoadAndWait(LocalUrlOf(file.fileName())));
        EXPECT_EQ(TextOf(QStringLiteral("body")), QString::fromUtf8("中文")) << name;
    }
}

qint64 ResidentBytes() {
    QFile status(QStringLiteral("/proc/self/statm"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    return status.readAll().split(' ').value(1).toLongLong() * sysconf(_SC_PAGESIZE);
}

QByteArray BlockOfLargeFile(int index) {
    QByteArray block(1 << 20, char('a' + index % 26));
    block.replace(0, 16, QByteArray::number(index).rightJustified(16, '0'));
    return block;
}

TEST_F(LocalSchemeInEngine, ALargeFileIsDownloadedWhileMemoryStaysFlat) {
    const int blocks = 256;  // 256 MiB
    QTemporaryDir source;
    QTemporaryDir downloads;
    const QString path = source.filePath(QStringLiteral("large.qvunknown"));
    {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        for (int i = 0; i < blocks; ++i)
            ASSERT_EQ(file.write(BlockOfLargeFile(i)), 1 << 20);
    }
    QWebEngineDownloadRequest* download = nullptr;
    QObject::connect(page.profile(), &QWebEngineProfile::downloadRequested, &page,
                     [&](QWebEngineDownloadRequest* request) {
                         request->setDownloadDirectory(downloads.path());
                         request->setDownloadFileName(QStringLiteral("copy.bin"));
                         request->accept();
                         download = request;
                     });
    const qint64 before = ResidentBytes();
    qint64 peak = before;
    page.load(LocalUrlOf(path));
    ASSERT_TRUE(WaitUntil(
        [&] {
            peak = std::max(peak, ResidentBytes());
            return download && download->isFinished();
        },
        180000));
    EXPECT_EQ(download->state(), QWebEngineDownloadRequest::DownloadCompleted);
    EXPECT_EQ(download->totalBytes(), qint64(blocks) << 20);
    // Serving the file whole would need its 256 MiB in this process at once.
    RecordProperty("peak_growth_mib", int((peak - before) >> 20));
    EXPECT_LT(peak - before, qint64(96) << 20)
        << "peak growth " << ((peak - before) >> 20) << " MiB";

    QFile copy(downloads.filePath(QStringLiteral("copy.bin")));
    ASSERT_TRUE(copy.open(QIODevice::ReadOnly));
    ASSERT_EQ(copy.size(), qint64(blocks) << 20);
    for (int i = 0; i < blocks; ++i)
        ASSERT_EQ(copy.read(1 << 20), BlockOfLargeFile(i)) << i;
}

TEST_F(LocalSchemeInEngine, AFileThatShrinksWhileServedEndsTheDownloadWithAnError) {
    QTemporaryDir source;
    QTemporaryDir downloads;
    const QString path = source.filePath(QStringLiteral("shrinking.qvunknown"));
    {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        for (int i = 0; i < 8; ++i)
            ASSERT_EQ(file.write(BlockOfLargeFile(i)), 1 << 20);
    }
    // The file shrinks after its length was announced and before the engine
    // reads anything of it.
    Factory().onAnswerPrepared = [&](const QUrl&) { ASSERT_TRUE(QFile::resize(path, 1 << 20)); };
    QWebEngineDownloadRequest* download = nullptr;
    QObject::connect(page.profile(), &QWebEngineProfile::downloadRequested, &page,
                     [&](QWebEngineDownloadRequest* request) {
                         request->setDownloadDirectory(downloads.path());
                         request->accept();
                         download = request;
                     });
    page.load(LocalUrlOf(path));
    // The rest can never come: the download must end, and not as complete.
    const bool finished = WaitUntil([&] { return download && download->isFinished(); }, 60000);
    Factory().onAnswerPrepared = nullptr;
    ASSERT_TRUE(finished);
    EXPECT_EQ(download->state(), QWebEngineDownloadRequest::DownloadInterrupted);
    EXPECT_LE(download->receivedBytes(), qint64(1) << 20);
}

// A page that tries to show, fetch and read local addresses, and records how
// each attempt ended in `results`.
QByteArray ProbePage(const QUrl& image, const QUrl& folder, const QUrl& file) {
    return QStringLiteral(
               "<!DOCTYPE html><html><body><script>var results = {};</script>"
               "<img src=\"%1\" onload=\"results.img='loaded'\" onerror=\"results.img='refused'\">"
               "<iframe src=\"%2\"></iframe><script>"
               "fetch('%3').then(function(r){return r.text();}).then("
               "function(t){results.fetch='read:'+t;},function(){results.fetch='refused';});"
               "try{var x=new XMLHttpRequest();x.open('GET','%3');"
               "x.onload=function(){results.xhr='read:'+x.responseText;};"
               "x.onerror=function(){results.xhr='refused';};x.send();}"
               "catch(e){results.xhr='refused';}"
               "</script></body></html>")
        .arg(image.toString(QUrl::FullyEncoded), folder.toString(QUrl::FullyEncoded),
             file.toString(QUrl::FullyEncoded))
        .toUtf8();
}

TEST_F(LocalSchemeInEngine, AWebPageCannotLoadOrReadLocalAddresses) {
    const TTestFolder folder;
    const QUrl image = folder.url(QStringLiteral("picture.png"));
    const QUrl secret = folder.url(scheme_test::AwkwardFileNames().first());
    QImage picture(4, 4, QImage::Format_RGB32);
    picture.fill(Qt::red);
    ASSERT_TRUE(picture.save(folder.path() + QStringLiteral("/picture.png")));
    const QByteArray probe = ProbePage(image, folder.url(), secret);
    auto recordedResults = [&] {
        QJsonObject results;
        EXPECT_TRUE(WaitUntil([&] {
            results = QJsonDocument::fromJson(
                          RunScript(QStringLiteral("JSON.stringify(results)")).toString().toUtf8())
                          .object();
            return results.size() == 3;
        }));
        return results;
    };

    // A local page may show a local picture: the probe itself can see a load.
    QFile localProbe(folder.path() + QStringLiteral("/probe.html"));
    ASSERT_TRUE(localProbe.open(QIODevice::WriteOnly));
    localProbe.write(probe);
    localProbe.close();
    ASSERT_TRUE(LoadAndWait(folder.url(QStringLiteral("probe.html"))));
    EXPECT_EQ(recordedResults().value(QStringLiteral("img")).toString(), QStringLiteral("loaded"));

    // The same page from an http origin reaches nothing local.
    test_support::NginxServer server;
    server.writeFile(QStringLiteral("probe.html"), probe);
    Factory().requested.clear();
    ASSERT_TRUE(LoadAndWait(QUrl(server.baseUrl() + QStringLiteral("/probe.html"))));
    const QJsonObject results = recordedResults();
    EXPECT_EQ(results.value(QStringLiteral("img")).toString(), QStringLiteral("refused"));
    EXPECT_EQ(results.value(QStringLiteral("fetch")).toString(), QStringLiteral("refused"));
    EXPECT_EQ(results.value(QStringLiteral("xhr")).toString(), QStringLiteral("refused"));
    // Nor can it navigate there.
    RunScript(QStringLiteral("location.href = '%1';").arg(secret.toString(QUrl::FullyEncoded)));
    test_support::ServeEvents(1500);
    EXPECT_EQ(page.url().scheme(), QStringLiteral("http"));
    EXPECT_TRUE(Factory().requested.isEmpty())
        << Factory().requested.first().toString().toStdString();
}

}  // namespace
