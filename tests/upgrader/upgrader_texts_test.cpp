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

TauAutoUpgraderLanguage LanguageOf(const char* locale) {
    return LanguageForLanguageId(SystemLanguageId(QLocale(QString::fromLatin1(locale))));
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
        for (int n = 35; n < 50; ++n)
            EXPECT_TRUE(LoadUpgraderString(base + n).isEmpty()) << base + n;
        if (value != wlEnglish) {  // only words like "&OK" or "Error" may coincide
            EXPECT_LE(sameAsEnglish, 4) << base;
        }
    }
    EXPECT_EQ(LoadUpgraderString(kWizardNoteText), "RuruVaderera");
    EXPECT_EQ(LoadUpgraderString(40998), "");
}

TEST(TextFormat, PlaceholdersArgumentsAndOddFormats) {
    EXPECT_EQ(FormatText("%d:%.2d:%.2d", {qint64(10), qint64(0), qint64(59)}), "10:00:59");
    EXPECT_EQ(FormatText("%.2d", {qint64(-5)}), "-05");
    EXPECT_EQ(FormatText("%.1f Kb/s", {12.349}), "12.3 Kb/s");
    EXPECT_EQ(FormatText("%f", {1.0}), "1.00");
    EXPECT_EQ(FormatText("%s and %s", {QString("a")}), "a and ");
    EXPECT_EQ(FormatText("100%% %s", {QString("%d")}), "100% %d");  // arguments are not formats
    EXPECT_EQ(FormatText("%x %.3q %", {}), "%x %.3q %");
    EXPECT_EQ(FormatText("%d of %d", {QString("7"), 2.9}), "7 of 2");
    EXPECT_EQ(FormatText("%s", {qint64(42)}), "42");
    EXPECT_EQ(FormatText("%.999999999999d", {qint64(1)}).size(), 30);
}

TEST(SelectLanguageAuto, LocalesMapToTheTableLanguages) {
    // Singapore writes Simplified Chinese; Japanese is not in the table.
    // clang-format off
    const std::pair<const char*, TauAutoUpgraderLanguage> locales[] = {
        {"zh_CN", wlChineseSimplified}, {"zh_SG", wlChineseSimplified}, {"zh_TW", wlChineseTraditional},
        {"zh_HK", wlChineseTraditional}, {"zh_MO", wlChineseTraditional}, {"pt_BR", wlPortugueseBrazilian},
        {"pt_PT", wlPortuguese}, {"de_DE", wlGerman}, {"nn_NO", wlNorwegian},
        {"ja_JP", wlEnglish}, {"C", wlEnglish}};
    const std::pair<int, TauAutoUpgraderLanguage> ids[] = {
        {0x0804, wlChineseSimplified}, {0x1004, wlChineseSimplified}, {0x0404, wlChineseTraditional},
        {0x0C04, wlChineseTraditional}, {0x0416, wlPortugueseBrazilian}, {0x0816, wlPortuguese},
        {0x0411, wlEnglish}, {0, wlEnglish}, {0x3FF, wlEnglish}};
    // clang-format on
    for (const auto& [locale, language] : locales)
        EXPECT_EQ(LanguageOf(locale), language) << locale;
    for (const auto& [id, language] : ids)
        EXPECT_EQ(LanguageForLanguageId(quint16(id)), language) << id;
    for (const auto& [locale, id] : std::initializer_list<std::pair<const char*, int>>{
             {"zh_CN", 0x0804}, {"de_DE", 0x0407}, {"pt_BR", 0x0416}, {"ja_JP", 0x0411}})
        EXPECT_EQ(SystemLanguageId(QLocale(locale)), id) << locale;
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
    const struct {
        const char* locale;
        TauAutoUpgraderLanguage language;
    } cases[] = {{"zh_CN.UTF-8", wlChineseSimplified},
                 {"zh_TW.UTF-8", wlChineseTraditional},
                 {"pt_BR.UTF-8", wlPortugueseBrazilian},
                 {"fr_CA.UTF-8", wlFrench},
                 {"ja_JP.UTF-8", wlEnglish}};
    for (const auto& c : cases) {
        QProcess child;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("LC_ALL", c.locale);
        environment.insert("QUORVANE_EXPECTED_LANGUAGE_BASE",
                           QString::number(LanguageBaseOf(c.language)));
        child.setProcessEnvironment(environment);
        child.start(QCoreApplication::applicationFilePath(),
                    {"--gtest_filter=SelectLanguageAuto.FollowsTheSystemLocale"});
        ASSERT_TRUE(child.waitForFinished(30000));
        EXPECT_EQ(child.exitCode(), 0) << c.locale << child.readAll().constData();
    }
}
