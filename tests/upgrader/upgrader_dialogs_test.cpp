// The upgrader's three windows, driven as a user would: real widgets on the
// offscreen platform, answered through their buttons and keys.
#include <gtest/gtest.h>

#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>

#include "tests/support/qt_printers.h"
#include "tests/support/wait.h"
#include "tests/upgrader/dialog_answers.h"
#include "upgrader/dialogs/password_form.h"
#include "upgrader/dialogs/upgrade_question.h"
#include "upgrader/dialogs/upgrader_wizard.h"
#include "upgrader/dialogs/wizard_form.h"
#include "upgrader/texts/upgrader_texts.h"

using namespace upgrader;
using namespace upgrader_test;
using Act = std::function<void(QWidget*)>;

namespace {

template <typename T = QLabel>
T* Child(QWidget* window, const char* name) {
    T* control = window->findChild<T*>(QString::fromLatin1(name));
    EXPECT_NE(control, nullptr) << name;
    return control;
}

// The text of a label or a button.
QString Text(QWidget* window, const char* name) {
    return Child<QWidget>(window, name)->property("text").toString();
}

// Each test shows the texts in a language of its own.
void UseLanguage(TauAutoUpgraderLanguage language) {
    SetLanguageBase(LanguageBaseOf(language));
}

// Asks the question, notes its caption, text, buttons and text format, and
// closes it with the action.
bool AskQuestion(const QString& notice, QStringList& look, const Act& close) {
    DialogAnswers answers;
    answers.act = [&](QWidget* window) {
        auto* label = Child(window, "Label1");
        look = {window->windowTitle(), label->text(), Text(window, "YesBtn"),
                Text(window, "LaterBtn"), label->textFormat() == Qt::PlainText ? "plain" : "rich"};
        close(window);
    };
    return ShowUpgradeQuestion(notice);
}

// Opens the wizard in the language, with the hooks counting what it told the
// upgrader.
struct UpgradeWizard : testing::Test {
    TauAutoUpgraderWizardForm* Open(TauAutoUpgraderLanguage language) {
        UseLanguage(language);
        ShowWizard({}, {[this] { ++closed; }, [this] { ++aborted; }});
        EXPECT_TRUE(WizardForm() && WizardForm()->isVisible());
        return WizardForm();
    }
    int closed = 0, aborted = 0;
};

// Opens the password window, records its texts (label, user, password
// fields) and the masking, and answers it with the action.
bool Ask(QString& user, QString& password, QStringList& look, const Act& act) {
    DialogAnswers answers;
    answers.act = [&](QWidget* w) {
        const bool masked = Child<QLineEdit>(w, "PasswordEdit")->echoMode() == QLineEdit::Password;
        look = {w->windowTitle(), Text(w, "Label1"), Text(w, "UsernameEdit"),
                Text(w, "PasswordEdit"), masked ? "masked" : "shown"};
        act(w);
    };
    return AskPassword("quorvane.inf", user, password);
}

}  // namespace

// The notice is shown as written: markup stays text. Yes and Enter are the
// only answers that say yes.
TEST(UpgradeQuestion, ShowsTheNoticeAsWrittenAndEveryOtherAnswerIsNo) {
    UseLanguage(wlGerman);
    QStringList look;
    const QString notice = QString("<b>Bitte alle Fenster schließen.</b>");
    EXPECT_TRUE(AskQuestion(notice, look, [](QWidget* w) { Press("YesBtn", w); }));
    EXPECT_EQ(look,
              QStringList({"Upgrade Anwendungsassistent",
                           FormatUpgraderText(23, {QString("Quorvane"), "\n" + notice + "\n"}),
                           "&Ja", QString::fromUtf8("&Später"), "plain"}));

    UseLanguage(wlEnglish);
    EXPECT_FALSE(AskQuestion("", look, [](QWidget* w) { Press("LaterBtn", w); }));
    // An empty notice: the first and the last sentence with one empty line.
    EXPECT_EQ(look[1],
              "A newer version of Quorvane was released.\n\nDo you want to update "
              "your version with the latest one?");
    EXPECT_FALSE(AskQuestion("x", look, [](QWidget* w) { QTest::keyClick(w, Qt::Key_Escape); }));
    EXPECT_FALSE(AskQuestion("x", look, [](QWidget* w) { w->close(); }));
    EXPECT_TRUE(AskQuestion("x", look, [](QWidget* w) { QTest::keyClick(w, Qt::Key_Return); }));
    // While it is open, a second question is not stacked on it.
    bool nested = true;
    EXPECT_FALSE(AskQuestion("x", look, [&](QWidget* w) {
        nested = ShowUpgradeQuestion("again");
        Press("LaterBtn", w);
    }));
    EXPECT_FALSE(nested);
}

TEST_F(UpgradeWizard, TheDownloadingPageShowsTheFileAndItsProgress) {
    QPointer<TauAutoUpgraderWizardForm> form = Open(wlGerman);
    EXPECT_EQ(Text(form, "WizardTitle"), "Dateien werden heruntergeladen...");
    EXPECT_EQ(Text(form, "LEstimatedTime"), "Vorbereitung. . .");
    form->ShowFileURL("http://updates.example/update/quorvane.exe");
    form->ShowFileNumber(1, 2);
    form->ShowFileSize(1536);
    form->ShowProgress(50, 25, 12.34, 3665);
    QStringList shown;
    for (const char* name :
         {"FileURL", "AllDownloading", "LFileSize", "LTransferRate", "LEstimatedTime"})
        shown << Text(form, name);
    EXPECT_EQ(shown, QStringList({"http://updates.example/update/quorvane.exe",
                                  "Datei 1 von 2 wird heruntergeladen", "Dateigröße: 1.5 Kb",
                                  "Übertragungsrate: 12.3 Kb/s", "Verbleibende Zeit: 1:01:05"}));
    EXPECT_EQ(std::pair(Child<QProgressBar>(form, "ProgressCurrentFile")->value(),
                        Child<QProgressBar>(form, "ProgressAllFiles")->value()),
              std::pair(50, 25));

    DeleteWizardForm();
    EXPECT_EQ(WizardForm(), nullptr);
    EXPECT_EQ(std::pair(closed, aborted), std::pair(1, 0)) << "closed, not aborted";
    EXPECT_TRUE(test_support::WaitUntil([&] { return form.isNull(); }, 5000));
}

TEST_F(UpgradeWizard, EveryCloseAsksAndNoKeepsItOpen) {
    QPointer<TauAutoUpgraderWizardForm> form = Open(wlEnglish);
    DialogAnswers answers;
    answers.boxAnswers = {QMessageBox::No, QMessageBox::No, QMessageBox::No, QMessageBox::No};
    form->close();                          // the close box, Alt+F4
    QTest::keyClick(form, Qt::Key_Escape);  // Escape
    Press("CancelBtn");                     // Cancel
    QTest::keyClick(form, Qt::Key_Return);  // Enter presses Cancel
    EXPECT_EQ(answers.boxes, QStringList(4,
                                         "Quorvane | The update is not completed.\nWould you "
                                         "like to abort upgrading?"));
    ASSERT_TRUE(form);
    EXPECT_TRUE(form->isVisible());
    EXPECT_EQ(std::pair(closed, aborted), std::pair(0, 0));

    Press("CancelBtn");  // the default answer: Yes
    EXPECT_EQ(answers.boxes.size(), 5);
    EXPECT_EQ(WizardForm(), nullptr);
    EXPECT_EQ(std::pair(closed, aborted), std::pair(1, 1)) << "closed and aborted";
    EXPECT_TRUE(test_support::WaitUntil([&] { return form.isNull(); }, 5000));
}

TEST_F(UpgradeWizard, CompletedPageFinishesWithoutAsking) {
    TauAutoUpgraderWizardForm* form = Open(wlEnglish);
    ShowWizardCompleted();
    EXPECT_EQ(Text(form, "WizardTitle"), "Upgrade completed!");
    EXPECT_EQ(Text(form, "AfterNote"),
              "The update of Quorvane has been successfully completed.\n\nPress the "
              "OK button to restart program.");
    EXPECT_FALSE(Child<QPushButton>(form, "CancelBtn")->isEnabled());
    EXPECT_EQ(Text(form, "FinishBtn"), "&OK");

    DialogAnswers answers;
    answers.completedPage = DialogAnswers::CompletedPage::Leave;
    QTest::keyClick(form, Qt::Key_Return);  // Enter presses OK
    EXPECT_TRUE(answers.boxes.isEmpty());
    EXPECT_EQ(WizardForm(), nullptr);
    EXPECT_EQ(std::pair(closed, aborted), std::pair(1, 0)) << "closed, not aborted";
}

TEST(PasswordWindow, ReturnsWhatWasTypedOnOkOnly) {
    UseLanguage(wlEnglish);
    QString user = "alice", password = "old";
    QStringList look;
    EXPECT_TRUE(Ask(user, password, look, [](QWidget* w) {
        Child<QLineEdit>(w, "UsernameEdit")->clear();
        QTest::keyClicks(Child<QLineEdit>(w, "UsernameEdit"), "bob");
        QTest::keyClicks(Child<QLineEdit>(w, "PasswordEdit"), "s3 cr+t");
        QTest::keyClick(Child<QLineEdit>(w, "PasswordEdit"), Qt::Key_Return);  // Enter is OK
    }));
    EXPECT_EQ(user + '|' + password, "bob|s3 cr+t");
    // The known user name is offered, the password is not.
    EXPECT_EQ(look, QStringList({"Enter password",
                                 "Access to remote file \"quorvane.inf\" is password "
                                 "protected.\n\nPlease enter your username and password "
                                 "(received after registration) to continue software upgrade.",
                                 "alice", "", "masked"}));
    for (const Act& dismiss :
         {Act([](QWidget* w) { Press("CancelBtn", w); }),
          Act([](QWidget* w) { QTest::keyClick(w, Qt::Key_Escape); }), Act(&QWidget::close)}) {
        EXPECT_FALSE(Ask(user, password, look, [&](QWidget* w) {
            QTest::keyClicks(Child<QLineEdit>(w, "PasswordEdit"), "ignored");
            dismiss(w);
        }));
        EXPECT_EQ(user + '|' + password, "bob|s3 cr+t");
    }
}
