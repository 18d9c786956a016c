// The main window's fixed browsing policies against the real engine and nginx.
#include <QAbstractButton>
#include <QAbstractItemView>
#include <QApplication>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QMessageBox>
#include <QPointer>
#include <QRegularExpression>

#include "common/qt_translations.h"
#include "main/home_host_rewrite.h"
#include "tests/main/shell_fixture.h"

TEST_F(ShellTest, PopUpsReplaceThePageInTheOneView) {
    server->writeFile(
        "opener.html",
        "<title>Opener</title><a id='blank' href='/target.html' target='_blank'>x</a>");
    CreateShownForm();
    Open("/opener.html", "Opener");
    const qsizetype windows = ShownWindows().size();

    RunScript("document.getElementById('blank').click()");
    ASSERT_TRUE(WaitForUrl(server->baseUrl() + "/target.html")) << PageUrl().toStdString();
    RunScript("window.open('/scripted.html', 'other', 'width=300,height=200')");
    ASSERT_TRUE(WaitForUrl(server->baseUrl() + "/scripted.html")) << PageUrl().toStdString();
    test_support::ServeEvents(300);
    EXPECT_EQ(ShownWindows().size(), windows);
    // Both went into the view's own history.
    QTest::mouseClick(Child("ImageBack"), Qt::LeftButton, {}, QPoint(10, 10));
    ASSERT_TRUE(WaitForUrl(server->baseUrl() + "/target.html"));
}

// The download runs while the dialog is open, and the engine goes on
// answering; the file goes where the user chose, or nowhere when cancelled.
// Qt's own texts are in the user's language (Chinese here).
TEST_F(ShellTest, DownloadsGoThroughTheSaveDialogAndShowTheirPercentage) {
    QObject translations;
    common::LoadQtTranslations(QLocale(QLocale::Chinese, QLocale::China), translations);
    // A slow download, so that it reports progress on the way.
    test_support::NginxServer slow(
        test_support::NginxServer::Options{"location /slow/ { limit_rate 512k; }", false});
    QByteArray content;
    for (int i = 0; content.size() < (3 << 19); ++i)
        content += QByteArray::number(i) + ' ';
    slow.writeFile("slow/data.bin", content);
    QTemporaryDir chosen;
    const QString target = chosen.filePath("saved data.bin");
    CreateShownForm();
    QStringList messages;
    QObject::connect(StatusBar(), &QStatusBar::messageChanged,
                     [&](const QString& text) { messages << text; });

    form->crm()->Load(slow.baseUrl() + "/slow/data.bin");
    ASSERT_TRUE(WaitUntil([&] { return SaveDialog() != nullptr; }));
    const QPointer<QFileDialog> dialog = SaveDialog();
    EXPECT_EQ(dialog->selectedFiles().value(0), common::ExecutableFolder() + "data.bin");
    QStringList buttons;
    for (QAbstractButton* button : dialog->findChild<QDialogButtonBox*>()->buttons())
        buttons << button->text();
    EXPECT_EQ(buttons, QStringList({"保存(&S)", "取消"}));
    EXPECT_EQ(RunScript("6 * 7").toInt(), 42);
    ASSERT_TRUE(WaitUntil([&] { return !messages.isEmpty() && messages.last().isEmpty(); }, 30000));
    ASSERT_TRUE(dialog);
    // The program's own files, in its folder or through a link to it, are
    // refused with a message naming them, and the dialog stays. What the
    // user types; selectFile leaves a focused name box alone.
    const QString program = QFileInfo(common::ExecutablePath()).fileName();
    ASSERT_TRUE(QFile::link(common::ExecutableFolder(), chosen.filePath("link")));
    for (const QString& name :
         {program, QString("libquorvane-client.so"), QString("libquorvane-updates.so"),
          QString("Ruzozudo3"), QString("libquorvane-client.so.1.uOLD"), QString("data.bin.uTMP"),
          program + ".pending-upgrade", program + ".refused-upgrade", program + ".newest-update",
          QString(".quorvane-install")}) {
        for (const QString& folder : {common::ExecutableFolder(), chosen.filePath("link/")}) {
            SCOPED_TRACE((folder + name).toStdString());
            boxes.texts.clear();
            // The file an earlier row selected in the list would be taken
            // over what is typed.
            for (QAbstractItemView* view : dialog->findChildren<QAbstractItemView*>())
                view->clearSelection();
            dialog->findChild<QLineEdit*>("fileNameEdit")->setText(folder + name);
            QMetaObject::invokeMethod(dialog, &QDialog::accept, Qt::QueuedConnection);
            // Answered and gone, so that the next row sees only its own box.
            ASSERT_TRUE(WaitUntil([&] {
                return !boxes.texts.isEmpty() &&
                       !qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            }));
            EXPECT_TRUE(boxes.texts.last().contains(u'“' + name + u'”'))
                << boxes.texts.last().toStdString();
            ASSERT_TRUE(dialog && dialog->isVisible());
        }
    }
    boxes.texts.clear();
    dialog->findChild<QLineEdit*>("fileNameEdit")->setText(target);
    QMetaObject::invokeMethod(dialog, &QDialog::accept, Qt::QueuedConnection);
    ASSERT_TRUE(WaitUntil([&] { return FileBytes(target) == content; }))
        << messages.join(" ").toStdString();
    EXPECT_FALSE(QFile::exists(common::ExecutableFolder() + "data.bin"));
    EXPECT_EQ(ReceivingFiles(), QStringList());
    EXPECT_EQ(SaveDialog(), nullptr);

    // The status bar showed percentages on the way, up to 100%.
    EXPECT_TRUE(messages.contains("100%") &&
                !messages.filter(QRegularExpression("^[1-9][0-9]?%$")).isEmpty())
        << messages.join(' ').toStdString();

    form->crm()->Load(slow.baseUrl() + "/slow/data.bin");
    ASSERT_TRUE(WaitUntil([&] { return SaveDialog() && !ReceivingFiles().isEmpty(); }));
    SaveDialog()->reject();
    ASSERT_TRUE(WaitUntil([&] { return ReceivingFiles().isEmpty(); }));
    test_support::ServeEvents(500);
    EXPECT_EQ(ReceivingFiles(), QStringList());
    EXPECT_EQ(QDir(chosen.path()).entryList(QDir::Files), QStringList({"saved data.bin"}));
}

// A page of a server with a self-signed certificate shows without a
// question, and right-clicking it opens no menu.
TEST_F(ShellTest, SelfSignedCertificatesAreAcceptedAndRightClicksOpenNoMenu) {
    test_support::NginxServer tls(test_support::NginxServer::Options{QString(), true});
    tls.writeFile("menu.html",
                  "<title>Menu</title><body style='height:400px'>text"
                  "<script>window.menus = 0; document.addEventListener('contextmenu',"
                  " function () { window.menus++; });</script></body>");
    CreateShownForm();
    form->crm()->Load(tls.baseUrl() + "/menu.html");
    ASSERT_TRUE(WaitForUrl(tls.baseUrl() + "/menu.html"));
    ASSERT_TRUE(WaitUntil(
        [&] {
            QTest::mouseClick(form->crm()->view()->focusProxy(), Qt::RightButton, {},
                              QPoint(100, 100));
            return RunScript("window.menus").toInt() > 0;
        },
        10000));
    test_support::ServeEvents(300);
    EXPECT_EQ(QApplication::activePopupWidget(), nullptr);
}

// The engine's request for the host "home" goes to the search host with the
// rest of the URL kept; the test's engine resolves that host to 127.0.0.1
// (host-resolver-rules in tests/main/CMakeLists.txt), where its server is.
TEST_F(ShellTest, RequestsForTheHostHomeAreSentToTheSearchHost) {
    server->writeFile("search.html", "<title>Search</title><img id='i' src='http://home:" +
                                         QByteArray::number(server->port()) + "/pic.png?x=1'>");
    server->writeFile("pic.png",
                      QByteArray::fromBase64("iVBORw0KGgoAAAANSUhEUgAAAAEAAAABCAYAAAAfFcSJAAAADUlEQ"
                                             "VR4nGNgYPj/HwADAgH/YZ6PFQAAAABJRU5ErkJggg=="));
    CreateShownForm();
    const QString port = QString::number(server->port());

    form->crm()->Load("http://HOME:" + port + "/search.html?q=%E9%97%AE");
    ASSERT_TRUE(WaitForUrl("http://www.baidu.com:" + port + "/search.html?q=%E9%97%AE"))
        << PageUrl().toStdString();
    ASSERT_TRUE(WaitUntil(
        [&] { return RunScript("document.getElementById('i').naturalWidth").toInt() == 1; }));

    const QByteArray requests = FileBytes(server->prefix() + "/logs/access.log");
    EXPECT_TRUE(requests.contains("GET /search.html?q=%E9%97%AE ")) << requests.toStdString();
    EXPECT_TRUE(requests.contains("GET /pic.png?x=1 "));
}

// Only the exact host is replaced, the rest kept; what cannot be parsed or
// makes no URL with the new host is left alone or gives the empty URL.
TEST(HomeHostRewrite, OnlyTheExactHostIsReplacedAndTheRestKept) {
    using main_window::RewriteHomeHost;
    const QString host = "search.example";
    EXPECT_EQ(RewriteHomeHost("http://home/", host), "http://search.example/");
    EXPECT_EQ(RewriteHomeHost("https://user:pw@HOME:8443/a/%E9%97%AE?c=d&e#f", host),
              "https://user:pw@search.example:8443/a/%E9%97%AE?c=d&e#f");
    // Other hosts, and what cannot be parsed, stay as they are.
    for (const QString other : {"http://homes/", "http://home.example/", "http://www.home/",
                                "http://127.0.0.1/home", "about:blank", "http://[home/"})
        EXPECT_FALSE(RewriteHomeHost(other, host).has_value()) << other.toStdString();
    // A replacement that makes no URL gives the empty URL.
    EXPECT_EQ(RewriteHomeHost("http://home/", "bad host"), "");
}

TEST_F(ShellTest, MouseoverMessagesReachTheStatusBar) {
    const test_support::LocalPages local;
    const QString page = local.Write("hover.html", "<title>Hover</title>");
    CreateShownForm();
    form->crm()->Load(page);
    ASSERT_TRUE(WaitForUrl(page)) << PageUrl().toStdString();
    ASSERT_TRUE(
        WaitUntil([&] { return RunScript("typeof window.quorvane").toString() == "object"; }));
    RunScript("window.quorvane.sendProcessMessage('mouseover', ['问卷 第1题', 'second']);");
    ASSERT_TRUE(WaitUntil([&] { return StatusBar()->currentMessage() == "问卷 第1题"; }));
    // A message without text empties the status bar.
    RunScript("window.quorvane.sendProcessMessage('mouseover', []);");
    EXPECT_TRUE(WaitUntil([&] { return StatusBar()->currentMessage().isEmpty(); }));
}
