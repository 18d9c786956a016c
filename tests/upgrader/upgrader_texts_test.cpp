#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QProcess>
#include <QRegularExpression>

#include "upgrader/texts/upgrader_language.h"
#include "upgrader/texts/upgrader_texts.h"

using namespace upgrader;

namespace {

QStringList PlaceholdersOf(const QString& text) {
    QStringList found;
    static const QRegularExpression placeholder(QStringLiteral("%[.0-9]*[a-z%]"));
    for (const auto& match : placeholder.globalMatch(text))
        found << match.captured();
    return found;
}

}  // namespace

TEST(UpgraderTexts, EveryLanguageHasAllTextsWithTheEnglishPlaceholders) {
    const quint16 english = LanguageBaseOf(wlEnglish);
    for (int value = 1; value <= kLanguageCount; ++value) {
        const int base = LanguageBaseOf(static_cast<TauAutoUpgraderLanguage>(value));
        int sameAsEnglish = 0;
        for (int n = 0; n <= 34; ++n) {
            const QString text = LoadUpgraderString(base + n);
            const QString englishText = LoadUpgraderString(english + n);
            EXPECT_FALSE(text.isEmpty()) << base + n;
            EXPECT_EQ(PlaceholdersOf(text), PlaceholdersOf(englishText)) << base + n;
            sameAsEnglish += text == englishText ? 1 : 0;
        }
        // The question puts the notice on lines of its own.
        EXPECT_TRUE(LoadUpgraderString(base + 23).contains("\n%s\n")) << base;
        // Only words like "&OK" or "Error" may coincide with English.
        EXPECT_TRUE(value == wlEnglish || sameAsEnglish <= 4) << base;
    }
    EXPECT_EQ(LoadUpgraderString(kWizardNoteText), "RuruVaderera");

    // The wizard's texts show the numbers' formats; here what else a text or
    // an argument may hold: arguments are no formats, odd formats stay.
    EXPECT_EQ(FormatText("100%% %s", {QString("%d")}), "100% %d");
    EXPECT_EQ(FormatText("%s and %s", {QString("a")}), "a and ");
    EXPECT_EQ(FormatText("%x %.3q %", {}), "%x %.3q %");
}

TEST(SelectLanguageAuto, LocalesMapToTheTableLanguages) {
    // Singapore writes Simplified Chinese; Japanese is not in the table.
    const std::pair<QStringList, TauAutoUpgraderLanguage> locales[] = {
        {{"zh_CN", "zh_SG"}, wlChineseSimplified},
        {{"zh_TW", "zh_HK", "zh_MO"}, wlChineseTraditional},
        {{"pt_BR"}, wlPortugueseBrazilian},
        {{"pt_PT"}, wlPortuguese},
        {{"de_DE"}, wlGerman},
        {{"nn_NO"}, wlNorwegian},
        {{"ja_JP", "C"}, wlEnglish}};
    for (const auto& [names, language] : locales)
        for (const QString& locale : names)
            EXPECT_EQ(LanguageForLanguageId(SystemLanguageId(QLocale(locale))), language)
                << locale.toStdString();
}

// Run in a child process with the system locale set through the environment:
// the language chosen at start and by SelectLanguageAuto is the locale's.
TEST(SelectLanguageAuto, FollowsTheSystemLocale) {
    const QByteArray expected = qgetenv("QUORVANE_EXPECTED_LANGUAGE_BASE");
    if (!expected.isEmpty()) {
        EXPECT_EQ(LanguageBase(), expected.toInt());
        SetLanguageBase(LanguageBaseOf(wlGerman));
        SelectLanguageAuto();
        EXPECT_EQ(LanguageBase(), expected.toInt());
        return;
    }
    QProcess child;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("LC_ALL", "pt_BR.UTF-8");
    environment.insert("QUORVANE_EXPECTED_LANGUAGE_BASE",
                       QString::number(LanguageBaseOf(wlPortugueseBrazilian)));
    child.setProcessEnvironment(environment);
    child.start(QCoreApplication::applicationFilePath(),
                {"--gtest_filter=SelectLanguageAuto.FollowsTheSystemLocale"});
    ASSERT_TRUE(child.waitForFinished(30000));
    EXPECT_EQ(child.exitCode(), 0) << child.readAll().constData();
}
