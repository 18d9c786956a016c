// A survey taker's day in the real window: closing with typed answers or a
// running download, a window destroyed by the display, printing, Qt's own
// dialogs in Chinese, a crashed page, the browser keys and Chinese addresses.
#include <signal.h>

#include <QDialogButtonBox>
#include <QMessageBox>
#include <QPrintDialog>
#include <QProcess>
#include <QPushButton>
#include <QScreen>
#include <QWebEnginePage>

#include "common/qt_translations.h"
#include "tests/main/shell_fixture.h"

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

void PrintTo(const DayRow& row, std::ostream* out) {
    *out << row.name;
}

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
        content = QByteArray(bytes, 'q');
        slow->writeFile("slow/answers.bin", content);
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

    void StayOrLeave(QMessageBox::StandardButton reply) {
        ShowSurvey();
        TypeAnswer("answer");
        CloseAnswered(reply);
        EXPECT_EQ(boxes.texts.size(), 1) << boxes.texts.join('|').toStdString();
        expectedBoxes = boxes.texts;
    }
    void ShowSurvey() {
        server->writeFile("survey.html", kSurveyPage);
        CreateShownForm();
        Open("/survey.html", "Survey");
    }

  public:
    void PageAsksToStay() {
        StayOrLeave(QMessageBox::Cancel);
        EXPECT_TRUE(form->isVisible());
        EXPECT_EQ(Answer(), "answer");
    }
    void PageLetsGo() {
        StayOrLeave(QMessageBox::Ok);
        EXPECT_FALSE(form->isVisible());
    }

    void CloseDuringDownload() {
        QTemporaryDir chosen;
        CreateShownForm();
        StartSlowDownload(4 << 20, chosen.filePath("answers.bin"));
        CloseAnswered(QMessageBox::No);
        ASSERT_TRUE(form->isVisible());
        const QStringList receiving = ReceivingFiles();
        const qint64 received = QFileInfo(common::ExecutableFolder() + receiving.value(0)).size();
        ASSERT_TRUE(WaitUntil([&] {
            return QFileInfo(common::ExecutableFolder() + receiving.value(0)).size() > received;
        }));
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

    // xdotool destroys the window as any X client can: nothing is asked, the
    // window closes, and the download goes with what it received.
    void WindowDestroyedByTheDisplay() {
        QTemporaryDir chosen;
        CreateShownForm();
        StartSlowDownload(4 << 20, chosen.filePath("answers.bin"));
        ASSERT_EQ(QProcess::execute(
                      "xdotool", {"windowclose", QString::number(form->windowHandle()->winId())}),
                  0);
        ASSERT_TRUE(WaitUntil([&] { return !form->isVisible(); }, 5000));
        EXPECT_TRUE(WaitUntil([&] { return ReceivingFiles().isEmpty(); }, 5000));
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
        QProcess text;
        text.start("pdftotext", {pdf, "-"});
        ASSERT_TRUE(text.waitForFinished());
        EXPECT_TRUE(text.readAllStandardOutput().contains("Receipt 4711"));
    }

    void ChineseSaveDialog() {
        QObject translations;
        common::LoadQtTranslations(QLocale(QLocale::Chinese, QLocale::China), translations);
        CreateShownForm();
        server->writeFile("answers.bin", "x");
        form->crm()->Load(server->baseUrl() + "/answers.bin");
        ASSERT_TRUE(WaitUntil([&] { return SaveDialog() != nullptr; }));
        QStringList buttons;
        for (QAbstractButton* button : SaveDialog()->findChild<QDialogButtonBox*>()->buttons())
            buttons << button->text();
        EXPECT_EQ(buttons, QStringList({"保存(&S)", "取消"}));
        SaveDialog()->reject();
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

    // Shown decoded from its start; requested, and loaded again, encoded.
    void ChineseAddress() {
        server->writeFile("问卷/城市.html", "<title>City</title>");
        CreateShownForm();
        auto* address = Child<QLineEdit>("edAddress");
        const QString readable = server->baseUrl() + "/问卷/城市.html?城市=北京";
        address->setText(readable);
        QTest::keyClick(address, Qt::Key_Return);
        ASSERT_TRUE(WaitUntil([&] { return form->windowTitle() == "City" && !form->FLoading; }));
        EXPECT_EQ(address->text(), readable);
        EXPECT_EQ(address->cursorPosition(), 0);
        QTest::mouseClick(Child("ImageProcess"), Qt::LeftButton, {}, QPoint(5, 5));
        const QByteArray request =
            "GET "
            "/%E9%97%AE%E5%8D%B7/%E5%9F%8E%E5%B8%82.html?%E5%9F%8E%E5%B8%82=%E5%8C%97%E4%BA%AC ";
        EXPECT_TRUE(WaitUntil([&] {
            return FileBytes(server->prefix() + "/logs/access.log").count(request) == 2;
        })) << FileBytes(server->prefix() + "/logs/access.log").toStdString();
    }

    std::unique_ptr<test_support::NginxServer> slow;
    QByteArray content;
};

TEST_P(SurveyDayTest, Scenario) {
    (this->*GetParam().run)();
}

INSTANTIATE_TEST_SUITE_P(
    Day, SurveyDayTest,
    testing::Values(DayRow{"PageAsksToStay", &SurveyDayTest::PageAsksToStay},
                    DayRow{"PageLetsGo", &SurveyDayTest::PageLetsGo},
                    DayRow{"CloseDuringDownload", &SurveyDayTest::CloseDuringDownload},
                    DayRow{"CloseAfterDownload", &SurveyDayTest::CloseAfterDownload},
                    DayRow{"WindowDestroyedByTheDisplay",
                           &SurveyDayTest::WindowDestroyedByTheDisplay},
                    DayRow{"PrintReceipt", &SurveyDayTest::PrintReceipt},
                    DayRow{"ChineseSaveDialog", &SurveyDayTest::ChineseSaveDialog},
                    DayRow{"CrashedPage", &SurveyDayTest::CrashedPage},
                    DayRow{"BrowserKeys", &SurveyDayTest::BrowserKeys},
                    DayRow{"ChineseAddress", &SurveyDayTest::ChineseAddress}),
    [](const testing::TestParamInfo<DayRow>& row) { return std::string(row.param.name); });
