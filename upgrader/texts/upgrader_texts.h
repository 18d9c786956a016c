#pragma once

#include <QString>

#include "upgrader/texts/text_format.h"

namespace upgrader {

// The number of the text shown engraved at the foot of the wizard.
inline constexpr int kWizardNoteText = 40999;

// The text with the given number from the text table (":/upgrader_texts/",
// one UTF-8 JSON file per language); empty when the table has none.
QString LoadUpgraderString(int Number);

// Text n (0 to 30) of the current language: number LanguageBase() + n.
QString LoadUpgraderText(int N);

// Text n of the current language with its placeholders filled (FormatText).
QString FormatUpgraderText(int N, const QList<TextArgument>& Arguments);

}  // namespace upgrader
