#pragma once

#include <QString>
#include <cstdint>

namespace browser {

// The engine's three-way switches: leave the engine's default, or force on/off.
enum TCefState : int { STATE_DEFAULT = 0, STATE_ENABLED = 1, STATE_DISABLED = 2 };

// Browser options of the view, read once when its browser is created.
struct TChromiumOptions {
    int WindowlessFrameRate = 30;
    TCefState Javascript = STATE_DEFAULT;
    TCefState JavascriptOpenWindows = STATE_DEFAULT;
    TCefState JavascriptCloseWindows = STATE_DEFAULT;
    TCefState JavascriptAccessClipboard = STATE_DEFAULT;
    TCefState JavascriptDomPaste = STATE_DEFAULT;
    TCefState CaretBrowsing = STATE_DEFAULT;
    TCefState Java = STATE_DEFAULT;
    TCefState Plugins = STATE_DEFAULT;
    TCefState UniversalAccessFromFileUrls = STATE_DEFAULT;
    TCefState FileAccessFromFileUrls = STATE_DEFAULT;
    TCefState WebSecurity = STATE_DEFAULT;
    TCefState ImageLoading = STATE_DEFAULT;
    TCefState ImageShrinkStandaloneToFit = STATE_DEFAULT;
    TCefState TextAreaResize = STATE_DEFAULT;
    TCefState TabToLinks = STATE_DEFAULT;
    TCefState LocalStorage = STATE_DEFAULT;
    TCefState Databases = STATE_DEFAULT;
    TCefState ApplicationCache = STATE_DEFAULT;
    TCefState Webgl = STATE_DEFAULT;
    std::uint32_t BackgroundColor = 0;
};

// Font options of the view; empty families and 0 sizes leave the engine's own.
struct TChromiumFontOptions {
    QString StandardFontFamily;
    QString FixedFontFamily;
    QString SerifFontFamily;
    QString SansSerifFontFamily;
    QString CursiveFontFamily;
    QString FantasyFontFamily;
    int DefaultFontSize = 0;
    int DefaultFixedFontSize = 0;
    int MinimumFontSize = 0;
    int MinimumLogicalFontSize = 0;
    TCefState RemoteFonts = STATE_DEFAULT;
};

}  // namespace browser
