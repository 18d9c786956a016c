// The local scheme in the real engine: listings and their links, text in its
// encoding, downloads, and the refusal of ordinary web pages.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QWebEnginePage>
#include <QWebEngineUrlRequestJob>

#include "app/engine.h"
#include "scheme/file_scheme_factory.h"
#include "scheme/script_escape.h"
#include "tests/support/file_contents.h"
#include "tests/support/local_pages.h"
#include "tests/support/nginx_server.h"
#include "tests/support/qt_printers.h"
#include "tests/support/restricted_folder.h"
#include "tests/support/wait.h"

namespace {

using test_support::WaitUntil;
using test_support::WriteFile;

// The local address of a path, each part escaped as the listing's links are.
QUrl LocalUrlOf(const QString& path) {
    QByteArray encoded("local://c");
    for (const QString& part : path.split(QLatin1Char('/'), Qt::SkipEmptyParts))
        encoded += '/' + scheme::LinkTarget(part.toUtf8());
    if (path.endsWith(QLatin1Char('/')))
        encoded += '/';
    return QUrl::fromEncoded(encoded, QUrl::StrictMode);
}

// The awkward names every listing must show and open exactly.
const QStringList kAwkwardNames =
    QString::fromUtf8(
        "quote\"d.txt|back\\slash.txt|hash#1.txt|percent%41 and 100%.txt|plus+sign.txt|"
        "with  two spaces.txt|question?.txt|中文文件.txt|café ÀÉÎÕÜ ÿ.txt|"
        "apostrophe's & <tag>.txt|dollar$&`.txt|emoji 😀.txt")
        .split('|');
const QString kFolderName = QString::fromUtf8("sub folder #%+ 目录");
// Listed but never served: hidden and system entries.
const QStringList kUnservedNames = {".hidden file", "a fifo", "dangling link"};

QByteArray ContentOf(int index) {
    return "entry " + QByteArray::number(index);
}

// A temporary folder holding a file for each awkward name, a hidden file, a
// FIFO, a dangling link and a sub-folder with a file in it.
struct TTestFolder {
    TTestFolder() {
        for (int i = 0; i < kAwkwardNames.size(); ++i)
            WriteFile(path(kAwkwardNames[i]), ContentOf(i));
        WriteFile(path(kUnservedNames[0]), "hidden");
        EXPECT_EQ(mkfifo(QFile::encodeName(path(kUnservedNames[1])).constData(), 0600), 0);
        EXPECT_EQ(symlink("/nonexistent", QFile::encodeName(path(kUnservedNames[2])).constData()),
                  0);
        EXPECT_TRUE(QDir(dir.path()).mkdir(kFolderName));
        WriteFile(path(kFolderName + "/inner #1.txt"), "inner");
    }
    QString path(const QString& name = QString()) const { return dir.path() + '/' + name; }
    QUrl url(const QString& name = QString()) const { return LocalUrlOf(path(name)); }
    QTemporaryDir dir;
};

// The program's factory, noting every address that reaches it.
class TNotingFactory : public scheme::TFileSchemeFactory {
  public:
    using TFileSchemeFactory::TFileSchemeFactory;
    void requestStarted(QWebEngineUrlRequestJob* job) override {
        requested << job->requestUrl();
        TFileSchemeFactory::requestStarted(job);
    }
    QList<QUrl> requested;
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

    QVariant RunScript(const QString& script) { return test_support::RunScript(page, script); }

    QString TextOf(const QString& selector) {
        return RunScript("document.querySelector('" + selector + "').textContent").toString();
    }

    // The listing's rows as [link text, link class, size, date].
    QList<QStringList> ListedRows() {
        QList<QStringList> rows;
        for (const QVariant& row :
             RunScript("Array.from(document.querySelectorAll('#table tbody tr')).map(function(r){"
                       "var a=r.querySelector('a');return [a.textContent,a.className,"
                       "r.cells[1].textContent,r.cells[2].textContent];})")
                 .toList())
            rows << row.toStringList();
        return rows;
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
    // The address without its final "/" lists the same folder, and its links
    // resolve inside it.
    QUrl withoutSlash = folder.url();
    withoutSlash.setPath(withoutSlash.path().chopped(1));
    ASSERT_TRUE(LoadAndWait(withoutSlash));
    EXPECT_EQ(page.title(), "Index of " + folder.path());
    const QList<QStringList> rows = ListedRows();
    ASSERT_TRUE(LoadAndWait(folder.url()));
    EXPECT_EQ(ListedRows(), rows);

    ASSERT_EQ(rows.size(), kAwkwardNames.size() + 5);  // "..", the sub-folder and 3 unserved
    EXPECT_EQ(rows[0], (QStringList{"[Parent directory]", "icon up", "", ""}));
    EXPECT_EQ(rows[1].mid(0, 3), (QStringList{kFolderName + '/', "icon dir", ""}));
    QStringList unserved = kUnservedNames;
    for (int i = 0; i < rows.size(); ++i) {
        SCOPED_TRACE(rows[i][0].toStdString());
        ASSERT_TRUE(LoadAndWait(withoutSlash));
        ClickRow(i);
        const qsizetype index = kAwkwardNames.indexOf(rows[i][0]);
        if (i == 0) {
            EXPECT_EQ(page.title(), "Index of " + QDir::cleanPath(folder.path("..")) + "/");
        } else if (i == 1) {
            EXPECT_EQ(page.title(), "Index of " + folder.path(rows[i][0]));
            EXPECT_EQ(ListedRows().last()[0], QStringLiteral("inner #1.txt"));
        } else if (index >= 0) {
            const QByteArray content = ContentOf(int(index));
            EXPECT_EQ(rows[i].mid(1, 2),
                      (QStringList{"icon file", QString("%1 B").arg(content.size())}));
            EXPECT_FALSE(rows[i][3].isEmpty());
            EXPECT_EQ(TextOf("body"), QString::fromLatin1(content));
        } else {
            EXPECT_TRUE(unserved.removeOne(rows[i][0]));
            EXPECT_EQ(TextOf("h1"), folder.path(rows[i][0]));
            EXPECT_EQ(TextOf("h2"), QStringLiteral("not found"));
        }
    }
}

// The root has no parent row; a folder that may not be read lists only "..".
// Names are bytes: a GBK name (from an archive made on Chinese Windows) is
// shown decoded as GB18030 and its link reaches its file.
TEST_F(LocalSchemeInEngine, TheRootAnUnreadableFolderAndANameThatIsNotUtf8) {
    ASSERT_TRUE(LoadAndWait(QUrl("local://c/")));
    EXPECT_EQ(page.title(), QStringLiteral("Index of /"));
    const QList<QStringList> rows = ListedRows();
    ASSERT_FALSE(rows.isEmpty());
    EXPECT_NE(rows[0][0], QStringLiteral("[Parent directory]"));  // it would lead

    const TTestFolder folder;
    const test_support::RestrictedFolder unreadable(folder.path(), 0444);
    ASSERT_TRUE(LoadAndWait(folder.url()));
    EXPECT_EQ(ListedRows(), (QList<QStringList>{{"[Parent directory]", "icon up", "", ""}}));

    const QTemporaryDir gbkFolder;
    const QByteArray path = QFile::encodeName(gbkFolder.path()) + "/\xd6\xd0\xce\xc4.txt";
    // Qt's removal of the temporary folder cannot name this file.
    const auto remove = qScopeGuard([&] { ::unlink(path.constData()); });
    const int file = ::open(path.constData(), O_WRONLY | O_CREAT, 0644);
    ASSERT_EQ(::write(file, "gbk name", 8), 8);
    ::close(file);
    ASSERT_TRUE(LoadAndWait(LocalUrlOf(gbkFolder.path() + '/')));
    ASSERT_EQ(ListedRows().value(1).value(0), QString::fromUtf8("中文.txt"));
    ClickRow(1);
    EXPECT_EQ(TextOf("body"), QStringLiteral("gbk name"));
}

TEST_F(LocalSchemeInEngine, AWebPageCannotLoadOrReadLocalAddresses) {
    const TTestFolder folder;
    const QUrl secret = folder.url(kAwkwardNames.first());
    QImage picture(4, 4, QImage::Format_RGB32);
    picture.fill(Qt::red);
    ASSERT_TRUE(picture.save(folder.path("picture.png")));
    // A page that tries to show and read local addresses, and records how
    // each attempt ended in `results`.
    const QByteArray probe =
        QStringLiteral(
            "<!DOCTYPE html><html><body><script>var results = {};</script>"
            "<img src=\"%1\" onload=\"results.img='loaded'\" onerror=\"results.img='refused'\">"
            "<iframe src=\"%2\"></iframe><script>"
            "fetch('%3').then(function(r){return r.text();}).then("
            "function(t){results.fetch='read:'+t;},function(){results.fetch='refused';});"
            "</script></body></html>")
            .arg(folder.url("picture.png").toString(QUrl::FullyEncoded),
                 folder.url().toString(QUrl::FullyEncoded), secret.toString(QUrl::FullyEncoded))
            .toUtf8();
    auto recordedResults = [&] {
        EXPECT_TRUE(
            WaitUntil([&] { return RunScript("Object.keys(results).length").toInt() == 2; }));
        return RunScript("results").toMap();
    };

    // A local page may show a local picture: the probe itself can see a load.
    WriteFile(folder.path("probe.html"), probe);
    ASSERT_TRUE(LoadAndWait(folder.url("probe.html")));
    EXPECT_EQ(recordedResults().value("img").toString(), QStringLiteral("loaded"));

    // The same page from an http origin reaches nothing local, nor can it
    // navigate there.
    test_support::NginxServer server;
    server.writeFile(QStringLiteral("probe.html"), probe);
    Factory().requested.clear();
    ASSERT_TRUE(LoadAndWait(QUrl(server.baseUrl() + QStringLiteral("/probe.html"))));
    EXPECT_EQ(recordedResults(), (QVariantMap{{"img", "refused"}, {"fetch", "refused"}}));
    RunScript(QStringLiteral("location.href = '%1';").arg(secret.toString(QUrl::FullyEncoded)));
    test_support::ServeEvents(1500);
    EXPECT_EQ(page.url().scheme(), QStringLiteral("http"));
    EXPECT_TRUE(Factory().requested.isEmpty())
        << Factory().requested.first().toString().toStdString();
}

}  // namespace
