#include "upgrader/texts/upgrader_language.h"

#include <QHash>

namespace upgrader {

namespace {

constexpr quint16 kFirstBase = 41000;
constexpr quint16 kBaseStep = 50;
constexpr quint16 kPrimaryPortuguese = 0x16;
constexpr quint16 kPrimaryChinese = 0x04;
constexpr quint16 kSubDefault = 1;

// Primary language ids of the table, in the order of the language values.
constexpr quint16 kPrimaryIds[kLanguageCount] = {
    0x09, 0x19, 0x07, 0x0C, 0x0A, 0x16, 0x16, 0x10, 0x13, 0x06, 0x1D, 0x0B, 0x25, 0x22,
    0x15, 0x05, 0x0E, 0x18, 0x03, 0x2D, 0x36, 0x04, 0x04, 0x21, 0x3E, 0x0F, 0x1F, 0x14,
};

quint16 PrimaryIdOf(QLocale::Language Language) {
    static const QHash<QLocale::Language, quint16> ids = {
        {QLocale::English, 0x09},
        {QLocale::Russian, 0x19},
        {QLocale::German, 0x07},
        {QLocale::French, 0x0C},
        {QLocale::Spanish, 0x0A},
        {QLocale::Portuguese, 0x16},
        {QLocale::Italian, 0x10},
        {QLocale::Dutch, 0x13},
        {QLocale::Danish, 0x06},
        {QLocale::Swedish, 0x1D},
        {QLocale::Finnish, 0x0B},
        {QLocale::Estonian, 0x25},
        {QLocale::Ukrainian, 0x22},
        {QLocale::Polish, 0x15},
        {QLocale::Czech, 0x05},
        {QLocale::Hungarian, 0x0E},
        {QLocale::Romanian, 0x18},
        {QLocale::Catalan, 0x03},
        {QLocale::Basque, 0x2D},
        {QLocale::Afrikaans, 0x36},
        {QLocale::Chinese, 0x04},
        {QLocale::Indonesian, 0x21},
        {QLocale::Malay, 0x3E},
        {QLocale::Icelandic, 0x0F},
        {QLocale::Turkish, 0x1F},
        {QLocale::NorwegianBokmal, 0x14},
        {QLocale::NorwegianNynorsk, 0x14},
        // Languages the table lacks, for a faithful id; they select English.
        {QLocale::Arabic, 0x01},
        {QLocale::Bulgarian, 0x02},
        {QLocale::Greek, 0x08},
        {QLocale::Hebrew, 0x0D},
        {QLocale::Japanese, 0x11},
        {QLocale::Korean, 0x12},
        {QLocale::Croatian, 0x1A},
        {QLocale::Serbian, 0x1A},
        {QLocale::Slovak, 0x1B},
        {QLocale::Thai, 0x1E},
        {QLocale::Slovenian, 0x24},
        {QLocale::Latvian, 0x26},
        {QLocale::Lithuanian, 0x27},
        {QLocale::Vietnamese, 0x2A},
        {QLocale::Hindi, 0x39},
    };
    return ids.value(Language, 0);
}

quint16 ChineseSubId(const QLocale& Locale) {
    switch (Locale.territory()) {
        case QLocale::Taiwan:
            return 1;
        case QLocale::China:
            return 2;
        case QLocale::HongKong:
            return 3;
        case QLocale::Singapore:
            return 4;
        case QLocale::Macao:
            return 5;
        default:
            return Locale.script() == QLocale::SimplifiedChineseScript ? 2 : 1;
    }
}

quint16 SubIdOf(const QLocale& Locale) {
    if (Locale.language() == QLocale::Portuguese)
        return Locale.territory() == QLocale::Brazil ? 1 : 2;
    if (Locale.language() == QLocale::Chinese)
        return ChineseSubId(Locale);
    return kSubDefault;
}

quint16& CurrentBase() {
    static quint16 base =
        LanguageBaseOf(LanguageForLanguageId(SystemLanguageId(QLocale::system())));
    return base;
}

}  // namespace

quint16 LanguageBaseOf(TauAutoUpgraderLanguage Language) {
    const int value = qBound(1, static_cast<int>(Language), kLanguageCount);
    return static_cast<quint16>(kFirstBase + kBaseStep * (value - 1));
}

quint16 LanguageBase() {
    return CurrentBase();
}

void SetLanguageBase(quint16 Base) {
    CurrentBase() = Base;
}

quint16 SystemLanguageId(const QLocale& Locale) {
    const quint16 primary = PrimaryIdOf(Locale.language());
    return static_cast<quint16>(primary | (SubIdOf(Locale) << 10));
}

TauAutoUpgraderLanguage LanguageForLanguageId(quint16 LanguageId) {
    const quint16 primary = LanguageId & 0x3FF;
    const quint16 sub = LanguageId >> 10;
    if (primary == kPrimaryPortuguese)
        return sub == 1 ? wlPortugueseBrazilian : wlPortuguese;
    // Singapore writes Simplified Chinese as China does.
    if (primary == kPrimaryChinese)
        return sub == 2 || sub == 4 ? wlChineseSimplified : wlChineseTraditional;
    for (int value = 1; value <= kLanguageCount; ++value)
        if (kPrimaryIds[value - 1] == primary)
            return static_cast<TauAutoUpgraderLanguage>(value);
    return wlEnglish;
}

void SelectLanguageAuto() {
    SetLanguageBase(LanguageBaseOf(LanguageForLanguageId(SystemLanguageId(QLocale::system()))));
}

}  // namespace upgrader
