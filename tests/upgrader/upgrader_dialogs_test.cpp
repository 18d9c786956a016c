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
using upgrader_test::DialogAnswers;
using upgrader_test::Press;
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

// Sets the language for one test and gives the process's back afterwards.
struct LanguageScope {
    explicit LanguageScope(TauAutoUpgraderLanguage language) {
        SetLanguageBase(LanguageBaseOf(language));
    }
    ~LanguageScope() { SetLanguageBase(saved); }
    quint16 saved = LanguageBase();
};

struct QuestionLook {
    QString caption, text, yes, later;
    int height = 0;
    bool fits = false, buttonsOnScreen = false, plain = false;
};

// Asks the question, looks at it, and closes it with the action.
bool AskQuestion(const QString& notice, QuestionLook& look, const Act& close) {
    DialogAnswers answers;
    answers.act = [&](QWidget* window) {
        auto* label = Child(window, "Label1");
        QWidget* panel = Child<QWidget>(window, "BottomPanel");
        look = {window->windowTitle(), label->text(), Text(window, "YesBtn"),
                Text(window, "LaterBtn"), window->height()};
        look.buttonsOnScreen = window->screen()->availableGeometry().contains(
            panel->mapToGlobal(QPoint(0, panel->height() - 1)));
        look.plain = label->textFormat() == Qt::PlainText;
        look.fits = label->parentWidget() == window &&  // else the text scrolls
                    label->heightForWidth(label->width()) <= label->height() &&
                    panel->y() == label->y() + label->height() &&
                    window->height() == panel->y() + panel->height() &&
                    window->minimumSize() == window->maximumSize();
        close(window);
    };
    return ShowUpgradeQuestion(notice);
}

const Act kYes = [](QWidget* w) { Press("YesBtn", w); };

}  // namespace

TEST(UpgradeQuestion, ShowsTheNoticeInTheLanguageAndFitsItsText) {
    LanguageScope german(wlGerman);
    QuestionLook look;
    EXPECT_TRUE(AskQuestion("Bitte alle Fenster schließen.", look, kYes));
    EXPECT_EQ(look.caption, "Upgrade Anwendungsassistent");
    EXPECT_EQ(look.yes + look.later, QString::fromUtf8("&Ja&Später"));
    EXPECT_EQ(look.text, FormatUpgraderText(23, {QString("Quorvane"),
                                                 QString("\nBitte alle Fenster schließen.\n")}));
    EXPECT_TRUE(look.fits);
    const int shortHeight = look.height;
    EXPECT_TRUE(AskQuestion(QString("Eine lange Mitteilung über die neue Version. ").repeated(12),
                            look, kYes));
    EXPECT_TRUE(look.fits);
    EXPECT_GT(look.height, shortHeight + 40);

    // A notice of 200 lines, with markup: it scrolls, shown as written, and
    // the buttons stay on the screen.
    EXPECT_TRUE(AskQuestion(QString("<b>line</b>\n").repeated(200), look, kYes));
    EXPECT_TRUE(look.buttonsOnScreen);
    EXPECT_TRUE(look.plain);
    EXPECT_TRUE(look.text.contains("<b>line</b>"));
}

TEST(UpgradeQuestion, EveryOtherAnswerIsNo) {
    LanguageScope english(wlEnglish);
    QuestionLook look;
    EXPECT_FALSE(AskQuestion("", look, [](QWidget* w) { Press("LaterBtn", w); }));
    // An empty notice: the first and the last sentence with one empty line.
    EXPECT_EQ(look.text,
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

namespace {

// The hooks of a wizard, counting what it told the upgrader.
struct HookLog {
    int closed = 0, aborted = 0;
    bool closedBeforeAbort = false;
};

TauAutoUpgraderWizardForm* OpenWizard(HookLog& log, const TauAutoUpgraderWizard& settings = {}) {
    ShowWizard(settings, {[&log] { ++log.closed; },
                          [&log] {
                              log.closedBeforeAbort = log.closed > 0;
                              ++log.aborted;
                          }});
    EXPECT_TRUE(WizardForm() && WizardForm()->isVisible());
    return WizardForm();
}

}  // namespace

TEST(UpgradeWizard, TheDownloadingPageShowsTheFileAndItsProgress) {
    LanguageScope german(wlGerman);
    HookLog log;
    QPointer<TauAutoUpgraderWizardForm> form = OpenWizard(log);
    EXPECT_EQ(Text(form, "WizardTitle"), "Dateien werden heruntergeladen...");
    EXPECT_EQ(Text(form, "LEstimatedTime"), "Vorbereitung. . .");
    form->ShowFileURL("http://updates.example/update/quorvane.exe");
    form->ShowFileNumber(1, 2);
    form->ShowFileSize(1536);
    form->ShowProgress(50, 25, 12.34, 3665);
    EXPECT_EQ(Text(form, "AllDownloading"), "Datei 1 von 2 wird heruntergeladen");
    EXPECT_EQ(Text(form, "LFileSize"), QString::fromUtf8("Dateigröße: 1.5 Kb"));
    EXPECT_EQ(Text(form, "LTransferRate"), QString::fromUtf8("Übertragungsrate: 12.3 Kb/s"));
    EXPECT_EQ(Text(form, "LEstimatedTime"), "Verbleibende Zeit: 1:01:05");
    EXPECT_EQ(Child<QProgressBar>(form, "ProgressCurrentFile")->value(), 50);
    EXPECT_EQ(Child<QProgressBar>(form, "ProgressAllFiles")->value(), 25);
    // A label grows with its text instead of cutting it off.
    EXPECT_GE(Child(form, "LTransferRate")->width(),
              Child(form, "LTransferRate")->sizeHint().width());

    // The address can be copied but not changed.
    auto* url = Child<QLineEdit>(form, "FileURL");
    url->setFocus();
    QTest::keyClicks(url, "typed");
    QTest::keyClick(url, Qt::Key_Backspace);
    url->selectAll();
    EXPECT_EQ(url->selectedText(), "http://updates.example/update/quorvane.exe");

    DeleteWizardForm();
    EXPECT_EQ(WizardForm(), nullptr);
    EXPECT_EQ(log.closed, 1);
    EXPECT_EQ(log.aborted, 0);
    EXPECT_TRUE(test_support::WaitUntil([&] { return form.isNull(); }, 5000));
}

TEST(UpgradeWizard, EveryCloseAsksAndNoKeepsItOpen) {
    LanguageScope english(wlEnglish);
    HookLog log;
    QPointer<TauAutoUpgraderWizardForm> form = OpenWizard(log);
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
    EXPECT_EQ(log.closed + log.aborted, 0);

    Press("CancelBtn");  // the default answer: Yes
    EXPECT_EQ(answers.boxes.size(), 5);
    EXPECT_EQ(WizardForm(), nullptr);
    EXPECT_EQ(log.closed, 1);
    EXPECT_EQ(log.aborted, 1);
    EXPECT_TRUE(log.closedBeforeAbort);
    EXPECT_TRUE(test_support::WaitUntil([&] { return form.isNull(); }, 5000));
}

TEST(UpgradeWizard, CompletedPageFinishesWithoutAsking) {
    LanguageScope english(wlEnglish);
    HookLog log;
    TauAutoUpgraderWizardForm* form = OpenWizard(log);
    ShowWizardCompleted();
    EXPECT_EQ(Text(form, "WizardTitle"), "Upgrade completed!");
    auto* note = Child(form, "AfterNote");
    EXPECT_EQ(note->text(),
              "The update of Quorvane has been successfully completed.\n\nPress the "
              "OK button to restart program.");
    EXPECT_GE(note->height(), note->heightForWidth(note->width()));
    EXPECT_FALSE(Child<QWidget>(form, "LCurrentFile")->isVisible());
    EXPECT_FALSE(Child<QWidget>(form, "LAllFiles")->isVisible());
    EXPECT_FALSE(Child<QPushButton>(form, "CancelBtn")->isEnabled());
    EXPECT_EQ(Text(form, "FinishBtn"), "&OK");

    DialogAnswers answers;
    answers.completedPage = DialogAnswers::CompletedPage::Leave;
    QTest::keyClick(form, Qt::Key_Return);  // Enter presses OK
    EXPECT_TRUE(answers.boxes.isEmpty());
    EXPECT_EQ(WizardForm(), nullptr);
    EXPECT_EQ(log.closed, 1);
    EXPECT_EQ(log.aborted, 0);
}

TEST(UpgradeWizard, HiddenLocationOwnPictureAndNotOnTop) {
    TauAutoUpgraderWizard settings;
    settings.HideFileLocation = true;
    settings.StayOnTop = false;
    settings.Pic118x218 = QPixmap(118, 218);
    settings.Pic118x218.fill(Qt::red);
    HookLog log;
    TauAutoUpgraderWizardForm* form = OpenWizard(log, settings);
    form->ShowFileURL("http://host/secret/location.exe");
    EXPECT_FALSE(Child<QWidget>(form, "FileURL")->isVisible());
    EXPECT_FALSE(Child<QWidget>(form, "LDownloadingFileFrom")->isVisible());
    EXPECT_FALSE(form->windowFlags() & Qt::WindowStaysOnTopHint);
    EXPECT_EQ(Child(form, "Image1")->pixmap().toImage().pixelColor(50, 100), QColor(Qt::red));
    DeleteWizardForm();

    // Opened again, it is a fresh window with the defaults.
    form = OpenWizard(log);
    EXPECT_TRUE(Child<QWidget>(form, "FileURL")->isVisible());
    EXPECT_TRUE(form->windowFlags() & Qt::WindowStaysOnTopHint);
    DeleteWizardForm();
}

namespace {

// Opens the password window, records its texts (label, user, password
// fields) and the masking, and answers it with the action.
bool Ask(QString& user, QString& password, QStringList& look, const Act& act) {
    DialogAnswers answers;
    answers.act = [&](QWidget* w) {
        look = QStringList{w->windowTitle(), Text(w, "Label1"),
                           Child<QLineEdit>(w, "UsernameEdit")->text(),
                           Child<QLineEdit>(w, "PasswordEdit")->text()};
        if (Child<QLineEdit>(w, "PasswordEdit")->echoMode() == QLineEdit::Password)
            look << "masked";
        act(w);
    };
    return AskPassword("quorvane.inf", user, password);
}

void Type(QWidget* window, const char* field, const QString& text) {
    QTest::keyClicks(Child<QLineEdit>(window, field), text);
}

}  // namespace

TEST(PasswordWindow, ReturnsWhatWasTypedOnOkOnly) {
    LanguageScope english(wlEnglish);
    QString user = "alice", password = "old";
    QStringList look;
    EXPECT_TRUE(Ask(user, password, look, [](QWidget* w) {
        Child<QLineEdit>(w, "UsernameEdit")->clear();
        Type(w, "UsernameEdit", "bob");
        Type(w, "PasswordEdit", "s3 cr+t");
        Press("OKBtn", w);
    }));
    EXPECT_EQ(user, "bob");
    EXPECT_EQ(password, "s3 cr+t");
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
            Type(w, "PasswordEdit", "ignored");
            dismiss(w);
        }));
        EXPECT_EQ(user + password, "bobs3 cr+t");
    }
    // Enter is OK.
    EXPECT_TRUE(Ask(user, password, look, [](QWidget* w) {
        Type(w, "PasswordEdit", "new");
        QTest::keyClick(Child<QLineEdit>(w, "PasswordEdit"), Qt::Key_Return);
    }));
    EXPECT_EQ(password, "new");
}

TEST(WizardLanguage, SettingTheLanguageChangesEveryTextAndAutoReturns) {
    LanguageScope scope(wlEnglish);
    SelectLanguageAuto();
    const quint16 system = LanguageBase();
    TauAutoUpgraderWizard wizard;
    EXPECT_EQ(wizard.Language(), wlAuto);
    wizard.SetLanguage(wlGerman);
    EXPECT_EQ(LoadUpgraderText(0), "Upgrade Anwendungsassistent");
    TauAutoUpgraderWizard another;  // a new wizard leaves the language alone
    EXPECT_EQ(LanguageBase(), LanguageBaseOf(wlGerman));
    another.SetLanguage(wlFrench);  // the last setting of any upgrader applies
    EXPECT_EQ(LanguageBase(), LanguageBaseOf(wlFrench));
    wizard.SetLanguage(wlAuto);
    EXPECT_EQ(LanguageBase(), system);
}
