#pragma once

#include <QString>

#include "browser/chromium_options.h"

class QWebEngineSettings;
class QWebEnginePage;

namespace browser {

// Copies the view's options into the engine's settings of one page: a state
// other than STATE_DEFAULT sets the matching attribute, families and sizes
// that are set replace the engine's, and the default encoding is applied.
void ApplyBrowserSettings(QWebEnginePage& page, const TChromiumOptions& options,
                          const TChromiumFontOptions& fonts, const QString& defaultEncoding);

}  // namespace browser
