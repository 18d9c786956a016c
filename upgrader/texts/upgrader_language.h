#pragma once

#include <QLocale>
#include <QtGlobal>

namespace upgrader {

// The language of the upgrader's texts; wlAuto follows the system's language.
enum TauAutoUpgraderLanguage {
    wlAuto = 0,
    wlEnglish,
    wlRussian,
    wlGerman,
    wlFrench,
    wlSpanish,
    wlPortuguese,
    wlPortugueseBrazilian,
    wlItalian,
    wlDutch,
    wlDanish,
    wlSwedish,
    wlFinnish,
    wlEstonian,
    wlUkrainian,
    wlPolish,
    wlCzech,
    wlHungarian,
    wlRomanian,
    wlCatalan,
    wlBasque,
    wlAfrikaans,
    wlChineseTraditional,
    wlChineseSimplified,
    wlIndonesian,
    wlMalay,
    wlIcelandic,
    wlTurkish,
    wlNorwegian,
};
inline constexpr int kLanguageCount = 28;

// The number of text 0 of a language: 41000 + 50 × (value − 1).
quint16 LanguageBaseOf(TauAutoUpgraderLanguage Language);

// The number of text 0 of the current language, shared by every upgrader of
// the process. Until it is set it is the system language's (SelectLanguageAuto).
quint16 LanguageBase();
void SetLanguageBase(quint16 Base);

// The Windows language identifier (primary language | sublanguage << 10) the
// language table is keyed by, for a locale: its language gives the primary
// id (0, neutral, for languages the table does not know), its territory the
// sublanguage where that decides (Portuguese of Brazil 1, else 2; Chinese of
// Taiwan 1, China 2, Hong Kong 3, Singapore 4, Macao 5, elsewhere by script);
// otherwise the sublanguage is 1, the default.
quint16 SystemLanguageId(const QLocale& Locale);

// The language a system language selects: Brazilian Portuguese for
// Portuguese with sublanguage 1, Simplified Chinese for Chinese of China (2)
// and Singapore (4), Traditional Chinese for the other Chinese, else the
// first language with the same primary id; English when none has it.
TauAutoUpgraderLanguage LanguageForLanguageId(quint16 LanguageId);

// Sets LanguageBase from the system's locale (QLocale::system()).
void SelectLanguageAuto();

}  // namespace upgrader
