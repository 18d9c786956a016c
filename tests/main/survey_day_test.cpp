// A survey taker's day in the real window: closing with typed answers or a
// running download, printing, a crashed page and the browser keys. (A window
// destroyed by the display ends the program: window_pixels_test; Chinese
// addresses: main_form_test; Qt's dialogs in Chinese: browser_policies_test.)
#include <signal.h>

#include <QPrintDialog>
#include <QPushButton>
#include <QScreen>

#include "tests/main/shell_fixture.h"
#include "tests/support/installed_client.h"

class SurveyDayTest;

namespace {

struct DayRow {
    const char* name;
    void (SurveyDayTest::*run)();
};

// A form with a field and a handler that asks before the page is left.
constexpr char kSurveyPage[] =
    "<meta charset='utf-8'><title>Survey</title><input id='answer'>"
    "<script>onbeforeunload = e => { e.preventDefault(); e.returnValue = ''; };</script>";

}  // namespace

class SurveyDayTest : public ShellTest, public testing::WithParamInterface<DayRow> {
  protected:
    QWidget* Page() const { return form->crm()->view()->focusProxy(); }

    // A click into the field, which every page's field begins at the
    // page's top left.
    void FocusPageField() {
        QApplication::setActiveWindow(form.get());
        ASSERT_TRUE(WaitUntil([&] { return form->isActiveWindow(); }));
        // The page takes input a moment after it shows.
        ASSERT_TRUE(WaitUntil([&] {
            QTest::mouseClick(Page(), Qt::LeftButton, {}, QPoint(20, 18));
            return RunScript("document.activeElement.id").toString() == "answer";
        }));
    }

    // Types into the page's field as a user does (a page asks before it is
    // left only after such input).
    void TypeAnswer(const QString& text) {
        FocusPageField();
        QTest::keyClicks(Page(), text);
        ASSERT_TRUE(WaitUntil([&] { return Answer() == text; }));
    }
    QString Answer() { return RunScript("document.getElementById('answer').value").toString(); }

    // Starts a download from a server that sends 256 KiB a second and saves
    // it under `target` (the dialog answered at once).
    void StartSlowDownload(int bytes, const QString& target) {
        slow = std::make_unique<test_support::NginxServer>(
            test_support::NginxServer::Options{"location /slow/ { limit_rate 256k; }"});
        slow->writeFile("slow/answers.bin", content = QByteArray(bytes, 'q'));
        form->crm()->Load(slow->baseUrl() + "/slow/answers.bin");
        ASSERT_TRUE(WaitUntil([&] { return SaveDialog() && !ReceivingFiles().isEmpty(); }));
        SaveDialog()->findChild<QLineEdit*>("fileNameEdit")->setText(target);
        QMetaObject::invokeMethod(SaveDialog(), &QDialog::accept, Qt::QueuedConnection);
        ASSERT_TRUE(WaitUntil([&] { return !SaveDialog(); }));
    }

    void CloseAnswered(QMessageBox::StandardButton reply) {
        boxes.reply = reply;
        const int seen = boxes.texts.size();
        form->close();
        ASSERT_TRUE(WaitUntil([&] { return boxes.texts.size() > seen || !form->isVisible(); }));
        test_support::ServeEvents(300);
    }

  public:
    // A half-filled survey: the page asks, the user stays and keeps the
    // answers; asked again, the user leaves.
    void PageAsksBeforeTheWindowCloses() {
        server->writeFile("survey.html", kSurveyPage);
        CreateShownForm();
        Open("/survey.html", "Survey");
        TypeAnswer("answer");
        CloseAnswered(QMessageBox::Cancel);
        EXPECT_TRUE(form->isVisible());
        EXPECT_EQ(Answer(), "answer");
        CloseAnswered(QMessageBox::Ok);
        EXPECT_FALSE(form->isVisible());
        EXPECT_EQ(boxes.texts.size(), 2) << boxes.texts.join('|').toStdString();
        expectedBoxes = boxes.texts;
    }

    void CloseDuringDownload() {
        QTemporaryDir chosen;
        CreateShownForm();
        StartSlowDownload(4 << 20, chosen.filePath("answers.bin"));
        CloseAnswered(QMessageBox::No);
        ASSERT_TRUE(form->isVisible());
        const QString partial = common::ExecutableFolder() + ReceivingFiles().value(0);
        const qint64 received = QFileInfo(partial).size();
        ASSERT_TRUE(WaitUntil([&] { return QFileInfo(partial).size() > received; }));
        CloseAnswered(QMessageBox::Yes);
        EXPECT_FALSE(form->isVisible());
        EXPECT_TRUE(WaitUntil([&] { return ReceivingFiles().isEmpty(); }, 5000));
        EXPECT_FALSE(QFile::exists(chosen.filePath("answers.bin")));
        expectedBoxes = {"下载尚未完成，仍要退出吗？", "下载尚未完成，仍要退出吗？"};
    }

    void CloseAfterDownload() {
        QTemporaryDir chosen;
        CreateShownForm();
        StartSlowDownload(300 << 10, chosen.filePath("answers.bin"));
        ASSERT_TRUE(
            WaitUntil([&] { return FileBytes(chosen.filePath("answers.bin")) == content; }));
        CloseAnswered(QMessageBox::No);
        EXPECT_FALSE(form->isVisible());
        EXPECT_EQ(ReceivingFiles(), QStringList());
    }

    // The dialog's "Print to File (PDF)" gets the engine's PDF, text and all.
    void PrintReceipt() {
        ShowTitledPage("Receipt");
        RunScript("document.body.innerText = 'Receipt 4711'; window.print()");
        QPrintDialog* dialog = nullptr;
        ASSERT_TRUE(WaitUntil([&] {
            for (QWidget* shown : ShownWindows())
                dialog = dialog ? dialog : qobject_cast<QPrintDialog*>(shown);
            return dialog != nullptr;
        }));
        QTemporaryDir folder;
        const QString pdf = folder.filePath("receipt.pdf");
        dialog->findChild<QLineEdit*>("filename")->setText(pdf);
        dialog->accept();
        ASSERT_TRUE(
            WaitUntil([&] { return QFileInfo(pdf).size() > 0 && ShownWindows().size() == 1; }));
        EXPECT_TRUE(test_support::ProgramOutput("pdftotext", {pdf, "-"}).contains("Receipt 4711"));
    }

    // The notice is drawn over the page area: its text's dark pixels on the
    // notice's light ground; its button brings the page back.
    void CrashedPage() {
        ShowTitledPage("Answers");
        ASSERT_EQ(kill(form->crm()->view()->page()->renderProcessPid(), SIGKILL), 0);
        auto* notice = Child<QWidget>("PageCrashNotice");
        ASSERT_TRUE(WaitUntil([&] { return notice->isVisible(); }));
        test_support::ServeEvents(500);
        const QRect area(form->crm()->mapTo(form.get(), QPoint()), form->crm()->size());
        const QImage shot = form->screen()->grabWindow(form->winId()).toImage().copy(area);
        int dark = 0;
        for (int y = 0; y < shot.height(); ++y)
            for (int x = 0; x < shot.width(); ++x)
                dark += qGray(shot.pixel(x, y)) < 96 ? 1 : 0;
        EXPECT_GT(dark, 400) << "text pixels in the page area";
        EXPECT_EQ(qGray(shot.pixel(5, 5)), 255);
        QTest::mouseClick(notice->findChild<QPushButton*>("ReloadPage"), Qt::LeftButton);
        EXPECT_FALSE(notice->isVisible());
        EXPECT_TRUE(WaitUntil([&] { return RunScript("document.title").toString() == "Answers"; }));
    }

    // With the keyboard in the page's field: its own keys stay its own,
    // the browser's keys act on the window.
    void BrowserKeys() {
        server->writeFile("first.html", "<title>First</title>");
        CreateShownForm();
        Open("/first.html", "First");
        server->writeFile("survey.html", "<title>Survey</title><input id='answer' value='abc'>");
        Open("/survey.html", "Survey");
        FocusPageField();
        QTest::keyClick(Page(), Qt::Key_A, Qt::ControlModifier);
        EXPECT_TRUE(WaitUntil([&] {
            return RunScript(
                       "document.activeElement.selectionEnd - "
                       "document.activeElement.selectionStart")
                       .toInt() == 3;
        })) << "Ctrl+A stays the field's";
        RunScript("window.marker = 1");
        QTest::keyClick(Page(), Qt::Key_F5);
        EXPECT_TRUE(WaitUntil([&] { return !RunScript("window.marker").isValid(); })) << "reload";
        QTest::keyClick(Page(), Qt::Key_Equal, Qt::ControlModifier);
        EXPECT_TRUE(WaitUntil([&] { return form->crm()->view()->zoomFactor() > 1.05; }));
        QTest::keyClick(Page(), Qt::Key_0, Qt::ControlModifier);
        EXPECT_EQ(form->crm()->view()->zoomFactor(), 1.0);
        QTest::keyClick(Page(), Qt::Key_F, Qt::ControlModifier);
        EXPECT_TRUE(Child<QWidget>("FindBar")->isVisible());
        EXPECT_EQ(QApplication::focusWidget(), Child<QLineEdit>("FindText"));
        Page()->setFocus();
        QTest::keyClick(Page(), Qt::Key_L, Qt::ControlModifier);
        auto* address = Child<QLineEdit>("edAddress");
        EXPECT_TRUE(address->hasFocus());
        EXPECT_EQ(address->selectedText(), address->text());
        Page()->setFocus();
        QTest::keyClick(Page(), Qt::Key_Left, Qt::AltModifier);
        EXPECT_TRUE(WaitForUrl(server->baseUrl() + "/first.html")) << "back";
        // A page that would take 8 s to arrive stops on Escape.
        slow = std::make_unique<test_support::NginxServer>(
            test_support::NginxServer::Options{"location /slow/ { limit_rate 64k; }"});
        slow->writeFile("slow/long.html", "<title>Long</title>" + QByteArray(512 << 10, ' '));
        form->crm()->Load(slow->baseUrl() + "/slow/long.html");
        ASSERT_TRUE(WaitUntil([&] { return form->FLoading; }));
        test_support::ServeEvents(300);
        QTest::keyClick(Page(), Qt::Key_Escape);
        EXPECT_TRUE(WaitUntil([&] { return !form->FLoading; }, 3000)) << "stopped";
    }

    std::unique_ptr<test_support::NginxServer> slow;
    QByteArray content;
};

TEST_P(SurveyDayTest, Scenario) {
    (this->*GetParam().run)();
}

#define DAY_ROW(name) (DayRow{#name, &SurveyDayTest::name})
INSTANTIATE_TEST_SUITE_P(Day, SurveyDayTest,
                         testing::Values(DAY_ROW(PageAsksBeforeTheWindowCloses),
                                         DAY_ROW(CloseDuringDownload), DAY_ROW(CloseAfterDownload),
                                         DAY_ROW(PrintReceipt), DAY_ROW(CrashedPage),
                                         DAY_ROW(BrowserKeys)),
                         [](const testing::TestParamInfo<DayRow>& row) {
                             return std::string(row.param.name);
                         });
