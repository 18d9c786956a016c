#pragma once

#include <QLocale>
#include <QObject>

namespace common {

// Installs Qt's own translations (its widgets and dialogs, and the engine's
// page dialogs) for `locale` from the distribution's translation folder, so
// that a Chinese session sees "保存", not "Save". A language without
// translations keeps Qt's English. The translations last as long as `owner`.
void LoadQtTranslations(const QLocale& locale, QObject& owner);

}  // namespace common
