// The upgrader's three windows, driven as a user would: real widgets on the
// offscreen platform, answered through their buttons and keys.
#include <gtest/gtest.h>

#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>

#include "tests/support/wait.h"
#include "tests/upgrader/dialog_answers.h"
#include "upgrader/dialogs/password_form.h"
#include "upgrader/dialogs/upgrade_question.h"
#include "upgrader/dialogs/upgrader_wizard.h"
#include "upgrader/dialogs/wizard_form.h"
#include "upgrader/texts/upgrader_texts.h"

using namespace upgrader;
using dialog_test::MessageBoxAnswerer;
using dialog_test::ModalActor;

namespace {

template <typename T>
T* Control(QWidget* window, const char* name) {
    T* control = window->findChild<T*>(QString::fromLatin1(name));
    EXPECT_NE(control, nullptr) << name;
    return control;
}

QRect Geometry(QWidget* window, const char* name) {
    QWidget* control = Control<QWidget>(window, name);
    return control ? control->geometry() : QRect();
}

// Sets the language for one test and gives the process's back afterwards.
class LanguageScope {
  public:
    explicit LanguageScope(TauAutoUpgraderLanguage language) : saved(LanguageBase()) {
        SetLanguageBase(LanguageBaseOf(language));
    }
    ~LanguageScope() { SetLanguageBase(saved); }

  private:
    quint16 saved;
};

struct QuestionLook {
    QString caption, text, yes, later;
    int height = 0;
    bool fits = false;
    bool buttonsOnScreen = false;
    bool plain = false;
};

// Asks the question, looks at it, and closes it with the action.
bool AskQuestion(const QString& notice, QuestionLook& look,
                 const std::function<void(QWidget*)>& close) {
    ModalActor actor([&](QWidget* window) {
        auto* label = Control<QLabel>(window, "Label1");
        QWidget* panel = Control<QWidget>(window, "BottomPanel");
        look.caption = window->windowTitle();
        look.text = label->text();
        look.yes = Control<QPushButton>(window, "YesBtn")->text();
        look.later = Control<QPushButton>(window, "LaterBtn")->text();
        look.height = window->height();
        const QRect screen = window->screen()->availableGeometry();
        look.buttonsOnScreen = screen.contains(panel->mapToGlobal(QPoint(0, panel->height() - 1)));
        look.plain = label->textFormat() == Qt::PlainText;
        if (label->parentWidget() != window) {  // the text scrolls
            close(window);
            return;
        }
        look.fits = label->heightForWidth(label->width()) <= label->height() &&
                    panel->y() == label->y() + label->height() &&
                    window->height() == panel->y() + panel->height() &&
                    window->minimumSize() == window->maximumSize();
        EXPECT_EQ(label->geometry().topLeft(), QPoint(45, 5));
        EXPECT_EQ(label->width(), 318 - 45 - 11);
        EXPECT_EQ(panel->height(), 45);
        EXPECT_EQ(Geometry(window, "Icon"), QRect(7, 5, 32, 32));
        EXPECT_FALSE(Control<QLabel>(window, "Icon")->pixmap().isNull());
        EXPECT_EQ(Control<QWidget>(window, "YesBtn")->geometry(), QRect(78, 13, 75, 23));
        EXPECT_EQ(Control<QWidget>(window, "LaterBtn")->geometry(), QRect(167, 13, 75, 23));
        EXPECT_TRUE(Control<QPushButton>(window, "YesBtn")->isDefault());
        EXPECT_TRUE(window->windowFlags() & Qt::WindowStaysOnTopHint);
        EXPECT_EQ(window->width(), 318);
        close(window);
    });
    return ShowUpgradeQuestion(notice);
}

void Click(QWidget* window, const char* button) {
    QTest::mouseClick(Control<QPushButton>(window, button), Qt::LeftButton);
}

}  // namespace

TEST(UpgradeQuestion, ShowsTheNoticeInTheLanguageAndFitsItsText) {
    LanguageScope german(wlGerman);
    QuestionLook look;
    EXPECT_TRUE(
        AskQuestion("Bitte alle Fenster schließen.", look, [](QWidget* w) { Click(w, "YesBtn"); }));
    EXPECT_EQ(look.caption, "Upgrade Anwendungsassistent");
    EXPECT_EQ(look.yes, "&Ja");
    EXPECT_EQ(look.later, QString::fromUtf8("&Später"));
    EXPECT_EQ(look.text, FormatUpgraderText(23, {QString("Quorvane"),
                                                 QString("\nBitte alle Fenster schließen.\n")}));
    EXPECT_TRUE(look.fits);
    const int shortHeight = look.height;

    QString longNotice;
    for (int i = 0; i < 8; ++i)
        longNotice += "Eine lange Mitteilung des Herausgebers über die neue Version. ";
    EXPECT_TRUE(AskQuestion(longNotice, look, [](QWidget* w) { Click(w, "YesBtn"); }));
    EXPECT_TRUE(look.fits);
    EXPECT_GT(look.height, shortHeight + 40);

    // A notice of 200 lines, with markup: it scrolls, shown as written, and
    // the buttons stay on the screen.
    QString tallNotice;
    for (int i = 0; i < 200; ++i)
        tallNotice += QStringLiteral("<b>line %1</b>\n").arg(i);
    EXPECT_TRUE(AskQuestion(tallNotice, look, [](QWidget* w) { Click(w, "YesBtn"); }));
    EXPECT_TRUE(look.buttonsOnScreen);
    EXPECT_TRUE(look.plain);
    EXPECT_TRUE(look.text.contains("<b>line 199</b>"));
}

TEST(UpgradeQuestion, EveryOtherAnswerIsNo) {
    LanguageScope english(wlEnglish);
    QuestionLook look;
    EXPECT_FALSE(AskQuestion("", look, [](QWidget* w) { Click(w, "LaterBtn"); }));
    // An empty notice: the first and the last sentence with one empty line.
    EXPECT_EQ(look.text,
              "A newer version of Quorvane was released.\n\nDo you want to update "
              "your version with the latest one?");
    EXPECT_TRUE(look.fits);
    EXPECT_FALSE(AskQuestion("x", look, [](QWidget* w) { QTest::keyClick(w, Qt::Key_Escape); }));
    EXPECT_FALSE(AskQuestion("x", look, [](QWidget* w) { w->close(); }));
    EXPECT_TRUE(AskQuestion("x", look, [](QWidget* w) { QTest::keyClick(w, Qt::Key_Return); }));
    // While it is open, a second question is not stacked on it.
    bool nested = true;
    EXPECT_FALSE(AskQuestion("x", look, [&](QWidget* w) {
        nested = ShowUpgradeQuestion("again");
        Click(w, "LaterBtn");
    }));
    EXPECT_FALSE(nested);
}

namespace {

// The hooks of a wizard, counting what it told the upgrader.
struct HookLog {
    int closed = 0;
    int aborted = 0;
    bool closedBeforeAbort = false;
    TauWizardHooks Hooks() {
        return {[this] { ++closed; },
                [this] {
                    closedBeforeAbort = closed > 0;
                    ++aborted;
                }};
    }
};

TauAutoUpgraderWizardForm* OpenWizard(HookLog& log, const TauAutoUpgraderWizard& settings = {}) {
    ShowWizard(settings, log.Hooks());
    TauAutoUpgraderWizardForm* form = WizardForm();
    EXPECT_NE(form, nullptr);
    EXPECT_TRUE(form && form->isVisible());
    return form;
}

}  // namespace

TEST(UpgradeWizard, DownloadingPageControlsAndTexts) {
    LanguageScope german(wlGerman);
    HookLog log;
    QPointer<TauAutoUpgraderWizardForm> form = OpenWizard(log);
    ASSERT_TRUE(form);
    EXPECT_EQ(form->size(), QSize(463, 281));
    EXPECT_EQ(form->windowTitle(), "Upgrade Anwendungsassistent");
    EXPECT_TRUE(form->windowFlags() & Qt::WindowStaysOnTopHint);
    EXPECT_FALSE(form->isModal());
    EXPECT_EQ(Geometry(form, "Panel1"), QRect(10, 10, 120, 220));
    EXPECT_EQ(Geometry(form, "Image1"), QRect(1, 1, 118, 218));
    EXPECT_EQ(Geometry(form, "LCurrentFile"), QRect(136, 34, 319, 125));
    EXPECT_EQ(Geometry(form, "LAllFiles"), QRect(136, 162, 319, 67));
    EXPECT_EQ(Geometry(form, "FileURL"), QRect(10, 28, 301, 13));
    EXPECT_EQ(Geometry(form, "ProgressCurrentFile"), QRect(6, 96, 307, 22));
    EXPECT_EQ(Geometry(form, "ProgressAllFiles"), QRect(6, 38, 307, 22));
    EXPECT_EQ(Geometry(form, "Bevel1").topLeft(), QPoint(10, 238));
    EXPECT_EQ(Geometry(form, "FinishBtn"), QRect(296, 248, 75, 25));
    EXPECT_EQ(Geometry(form, "CancelBtn"), QRect(380, 248, 75, 25));
    EXPECT_EQ(Control<QLabel>(form, "WizardTitle")->text(), "Dateien werden heruntergeladen...");
    EXPECT_TRUE(Control<QLabel>(form, "WizardTitle")->font().bold());
    EXPECT_TRUE(Control<QLabel>(form, "WizardTitle")->font().italic());
    EXPECT_EQ(Control<QGroupBox>(form, "LCurrentFile")->title(), " Aktuelle Datei ");
    EXPECT_EQ(Control<QGroupBox>(form, "LAllFiles")->title(), " Alle Dateien ");
    EXPECT_EQ(Control<QLabel>(form, "LDownloadingFileFrom")->text(),
              "Datei wird heruntergeladen von");
    EXPECT_EQ(Control<QLabel>(form, "LEstimatedTime")->text(), "Vorbereitung. . .");
    EXPECT_EQ(Control<QLabel>(form, "AboutLabel")->text(), " RuruVaderera ");
    EXPECT_EQ(Control<QLabel>(form, "AboutShadow")->text(), " RuruVaderera ");
    EXPECT_EQ(Control<QLabel>(form, "AfterNote")->text(), "");
    EXPECT_FALSE(Control<QLabel>(form, "Image1")->pixmap().isNull());
    auto* finish = Control<QPushButton>(form, "FinishBtn");
    auto* cancel = Control<QPushButton>(form, "CancelBtn");
    EXPECT_EQ(finish->text(), "&Weiter >");
    EXPECT_FALSE(finish->isEnabled());
    EXPECT_EQ(cancel->text(), "&Abbrechen");
    EXPECT_TRUE(cancel->isDefault());

    form->ShowFileURL("http://updates.example/update/quorvane.exe");
    form->ShowFileNumber(1, 2);
    form->ShowFileSize(1536);
    form->ShowProgress(50, 25, 12.34, 3665);
    EXPECT_EQ(Control<QLineEdit>(form, "FileURL")->text(),
              "http://updates.example/update/quorvane.exe");
    EXPECT_EQ(Control<QLabel>(form, "AllDownloading")->text(),
              "Datei 1 von 2 wird heruntergeladen");
    EXPECT_EQ(Control<QLabel>(form, "LFileSize")->text(), QString::fromUtf8("Dateigröße: 1.5 Kb"));
    EXPECT_EQ(Control<QLabel>(form, "LTransferRate")->text(),
              QString::fromUtf8("Übertragungsrate: 12.3 Kb/s"));
    EXPECT_EQ(Control<QLabel>(form, "LEstimatedTime")->text(), "Verbleibende Zeit: 1:01:05");
    EXPECT_EQ(Control<QProgressBar>(form, "ProgressCurrentFile")->value(), 50);
    EXPECT_EQ(Control<QProgressBar>(form, "ProgressAllFiles")->value(), 25);
    // A label grows with its text instead of cutting it off.
    auto* rate = Control<QLabel>(form, "LTransferRate");
    EXPECT_GE(rate->width(), rate->sizeHint().width());

    DeleteWizardForm();
    EXPECT_EQ(WizardForm(), nullptr);
    EXPECT_EQ(log.closed, 1);
    EXPECT_EQ(log.aborted, 0);
    EXPECT_TRUE(test_support::WaitUntil([&] { return form.isNull(); }, 5000));
}

TEST(UpgradeWizard, TheFileAddressCanBeCopiedButNotChanged) {
    HookLog log;
    TauAutoUpgraderWizardForm* form = OpenWizard(log);
    form->ShowFileURL("http://host/update/quorvane.exe");
    auto* url = Control<QLineEdit>(form, "FileURL");
    EXPECT_FALSE(url->hasFrame());
    EXPECT_EQ(url->focusPolicy(), Qt::ClickFocus);  // Tab passes it by
    url->setFocus();
    QTest::keyClicks(url, "typed");
    QTest::keyClick(url, Qt::Key_End);
    QTest::keyClick(url, Qt::Key_Backspace);
    QTest::keyClick(url, Qt::Key_Delete);
    EXPECT_EQ(url->text(), "http://host/update/quorvane.exe");
    url->selectAll();
    EXPECT_EQ(url->selectedText(), "http://host/update/quorvane.exe");
    DeleteWizardForm();
}

TEST(UpgradeWizard, EveryCloseAsksAndNoKeepsItOpen) {
    LanguageScope english(wlEnglish);
    HookLog log;
    QPointer<TauAutoUpgraderWizardForm> form = OpenWizard(log);
    MessageBoxAnswerer answers(QMessageBox::No);
    form->close();                          // the close box, Alt+F4
    QTest::keyClick(form, Qt::Key_Escape);  // Escape
    Click(form, "CancelBtn");               // Cancel
    QTest::keyClick(form, Qt::Key_Return);  // Enter presses Cancel
    EXPECT_EQ(answers.texts.size(), 4);
    for (int i = 0; i < answers.texts.size(); ++i) {
        EXPECT_EQ(answers.texts[i],
                  "The update is not completed.\nWould you like to abort upgrading?");
        EXPECT_EQ(answers.captions[i], "Quorvane");
        EXPECT_EQ(answers.icons[i], QMessageBox::Question);
    }
    ASSERT_TRUE(form);
    EXPECT_TRUE(form->isVisible());
    EXPECT_EQ(WizardForm(), form.data());
    EXPECT_EQ(log.closed, 0);
    EXPECT_EQ(log.aborted, 0);

    answers.SetAnswer(QMessageBox::Yes);
    Click(form, "CancelBtn");
    EXPECT_EQ(answers.texts.size(), 5);
    EXPECT_EQ(WizardForm(), nullptr);
    EXPECT_EQ(log.closed, 1);
    EXPECT_EQ(log.aborted, 1);
    EXPECT_TRUE(log.closedBeforeAbort);
    EXPECT_TRUE(test_support::WaitUntil([&] { return form.isNull(); }, 5000));
}

TEST(UpgradeWizard, CompletedPageFinishesWithoutAskingOrAbortsAfterAsking) {
    LanguageScope english(wlEnglish);
    HookLog log;
    TauAutoUpgraderWizardForm* form = OpenWizard(log);
    ShowWizardCompleted();
    EXPECT_EQ(Control<QLabel>(form, "WizardTitle")->text(), "Upgrade completed!");
    auto* note = Control<QLabel>(form, "AfterNote");
    EXPECT_EQ(note->text(),
              "The update of Quorvane has been successfully completed.\n\nPress the "
              "OK button to restart program.");
    EXPECT_GE(note->height(), note->heightForWidth(note->width()));
    EXPECT_FALSE(Control<QWidget>(form, "LCurrentFile")->isVisible());
    EXPECT_FALSE(Control<QWidget>(form, "LAllFiles")->isVisible());
    auto* finish = Control<QPushButton>(form, "FinishBtn");
    EXPECT_FALSE(Control<QPushButton>(form, "CancelBtn")->isEnabled());
    EXPECT_TRUE(finish->isEnabled());
    EXPECT_EQ(finish->text(), "&OK");
    EXPECT_TRUE(finish->hasFocus() || QApplication::focusWidget() == finish ||
                form->focusWidget() == finish);

    MessageBoxAnswerer answers(QMessageBox::Yes);
    QTest::keyClick(form, Qt::Key_Return);  // Enter presses OK
    EXPECT_TRUE(answers.texts.isEmpty());
    EXPECT_EQ(WizardForm(), nullptr);
    EXPECT_EQ(log.closed, 1);
    EXPECT_EQ(log.aborted, 0);

    // Closed with the close box, the finished upgrade is aborted on Yes.
    HookLog second;
    form = OpenWizard(second);
    ShowWizardCompleted();
    form->close();
    EXPECT_EQ(answers.texts.size(), 1);
    EXPECT_EQ(second.closed, 1);
    EXPECT_EQ(second.aborted, 1);
}

TEST(UpgradeWizard, HiddenLocationOwnPictureAndNotOnTop) {
    TauAutoUpgraderWizard settings;
    settings.HideFileLocation = true;
    settings.StayOnTop = false;
    QPixmap picture(118, 218);
    picture.fill(Qt::red);
    settings.Pic118x218 = picture;
    HookLog log;
    TauAutoUpgraderWizardForm* form = OpenWizard(log, settings);
    form->ShowFileURL("http://host/secret/location.exe");
    EXPECT_FALSE(Control<QWidget>(form, "FileURL")->isVisible());
    EXPECT_FALSE(Control<QWidget>(form, "LDownloadingFileFrom")->isVisible());
    EXPECT_EQ(Geometry(form, "LCurrentFile"), QRect(136, 44, 319, 95));
    EXPECT_EQ(Geometry(form, "LFileSize").y(), 14);
    EXPECT_EQ(Geometry(form, "LTransferRate").y(), 30);
    EXPECT_EQ(Geometry(form, "LEstimatedTime").y(), 46);
    EXPECT_EQ(Geometry(form, "ProgressCurrentFile").y(), 66);
    EXPECT_FALSE(form->windowFlags() & Qt::WindowStaysOnTopHint);
    const QImage shown = Control<QLabel>(form, "Image1")->pixmap().toImage();
    EXPECT_EQ(shown.size(), QSize(118, 218));
    EXPECT_EQ(shown.pixelColor(50, 100), QColor(Qt::red));
    DeleteWizardForm();

    // Opened again, it is a fresh window with the defaults.
    form = OpenWizard(log);
    EXPECT_TRUE(Control<QWidget>(form, "FileURL")->isVisible());
    EXPECT_EQ(Geometry(form, "LCurrentFile"), QRect(136, 34, 319, 125));
    DeleteWizardForm();
}

namespace {

struct PasswordLook {
    QString caption, text, user, password, userLabel, passwordLabel, ok, cancel;
    bool masked = false, fits = false;
};

bool Ask(QString& user, QString& password, PasswordLook& look,
         const std::function<void(QWidget*)>& act) {
    ModalActor actor([&](QWidget* window) {
        auto* label = Control<QLabel>(window, "Label1");
        QWidget* panel = Control<QWidget>(window, "BottomPanel");
        auto* passwordEdit = Control<QLineEdit>(window, "PasswordEdit");
        look.caption = window->windowTitle();
        look.text = label->text();
        look.user = Control<QLineEdit>(window, "UsernameEdit")->text();
        look.password = passwordEdit->text();
        look.userLabel = Control<QLabel>(window, "UsernameLab")->text();
        look.passwordLabel = Control<QLabel>(window, "PasswordLab")->text();
        look.ok = Control<QPushButton>(window, "OKBtn")->text();
        look.cancel = Control<QPushButton>(window, "CancelBtn")->text();
        look.masked = passwordEdit->echoMode() == QLineEdit::Password;
        look.fits = label->heightForWidth(label->width()) <= label->height() &&
                    label->width() == 297 - 45 - 18 &&
                    window->height() == label->y() + label->height() + panel->height();
        EXPECT_EQ(panel->height(), 98);
        EXPECT_EQ(Geometry(window, "UsernameEdit"), QRect(122, 10, 157, 21));
        EXPECT_EQ(Geometry(window, "PasswordEdit"), QRect(122, 34, 157, 21));
        EXPECT_EQ(Geometry(window, "OKBtn"), QRect(114, 68, 75, 23));
        EXPECT_EQ(Geometry(window, "CancelBtn"), QRect(204, 68, 75, 23));
        EXPECT_EQ(Geometry(window, "Image1"), QRect(7, 5, 32, 32));
        EXPECT_EQ(window->width(), 297);
        act(window);
    });
    return AskPassword("quorvane.inf", user, password);
}

}  // namespace

TEST(PasswordWindow, ReturnsWhatWasTypedOnOkOnly) {
    LanguageScope english(wlEnglish);
    QString user = "alice", password = "old";
    PasswordLook look;
    EXPECT_TRUE(Ask(user, password, look, [](QWidget* w) {
        auto* userEdit = Control<QLineEdit>(w, "UsernameEdit");
        userEdit->clear();
        QTest::keyClicks(userEdit, "bob");
        QTest::keyClicks(Control<QLineEdit>(w, "PasswordEdit"), "s3 cr+t");
        Click(w, "OKBtn");
    }));
    EXPECT_EQ(user, "bob");
    EXPECT_EQ(password, "s3 cr+t");
    EXPECT_EQ(look.caption, "Enter password");
    EXPECT_EQ(look.text,
              "Access to remote file \"quorvane.inf\" is password protected.\n\nPlease "
              "enter your username and password (received after registration) to "
              "continue software upgrade.");
    EXPECT_EQ(look.user, "alice");  // the known user name is offered
    EXPECT_EQ(look.password, "");   // the password is not
    EXPECT_TRUE(look.masked);
    EXPECT_TRUE(look.fits);
    EXPECT_EQ(look.userLabel, "User Name");
    EXPECT_EQ(look.passwordLabel, "Password");
    EXPECT_EQ(look.ok, "&OK");
    EXPECT_EQ(look.cancel, "&Cancel");

    for (const auto& dismiss : std::vector<std::function<void(QWidget*)>>{
             [](QWidget* w) { Click(w, "CancelBtn"); },
             [](QWidget* w) { QTest::keyClick(w, Qt::Key_Escape); },
             [](QWidget* w) { w->close(); }}) {
        EXPECT_FALSE(Ask(user, password, look, [&](QWidget* w) {
            QTest::keyClicks(Control<QLineEdit>(w, "PasswordEdit"), "ignored");
            dismiss(w);
        }));
        EXPECT_EQ(user, "bob");
        EXPECT_EQ(password, "s3 cr+t");
    }
    // Enter is OK.
    EXPECT_TRUE(Ask(user, password, look, [](QWidget* w) {
        QTest::keyClicks(Control<QLineEdit>(w, "PasswordEdit"), "new");
        QTest::keyClick(Control<QLineEdit>(w, "PasswordEdit"), Qt::Key_Return);
    }));
    EXPECT_EQ(password, "new");
}

TEST(WizardLanguage, SettingTheLanguageChangesEveryTextAndAutoReturns) {
    const quint16 saved = LanguageBase();
    SelectLanguageAuto();
    const quint16 system = LanguageBase();
    TauAutoUpgraderWizard wizard;
    EXPECT_EQ(wizard.Language(), wlAuto);
    wizard.SetLanguage(wlGerman);
    EXPECT_EQ(LanguageBase(), 41100);
    EXPECT_EQ(LoadUpgraderText(0), "Upgrade Anwendungsassistent");
    TauAutoUpgraderWizard another;  // a new wizard leaves the language alone
    EXPECT_EQ(LanguageBase(), 41100);
    another.SetLanguage(wlFrench);  // the last setting of any upgrader applies
    EXPECT_EQ(LanguageBase(), 41150);
    wizard.SetLanguage(wlAuto);
    EXPECT_EQ(LanguageBase(), system);
    SetLanguageBase(saved);
}
