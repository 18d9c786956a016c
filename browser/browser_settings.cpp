#include "browser/browser_settings.h"

#include <QColor>
#include <QWebEnginePage>
#include <QWebEngineSettings>

namespace browser {

namespace {

using Attr = QWebEngineSettings::WebAttribute;

void ApplyState(QWebEngineSettings& settings, Attr attribute, TCefState state) {
    if (state == STATE_ENABLED)
        settings.setAttribute(attribute, true);
    if (state == STATE_DISABLED)
        settings.setAttribute(attribute, false);
}

void ApplyFamily(QWebEngineSettings& settings, QWebEngineSettings::FontFamily which,
                 const QString& family) {
    if (!family.isEmpty())
        settings.setFontFamily(which, family);
}

void ApplySize(QWebEngineSettings& settings, QWebEngineSettings::FontSize which, int size) {
    if (size > 0)
        settings.setFontSize(which, size);
}

void ApplyFonts(QWebEngineSettings& s, const TChromiumFontOptions& fonts) {
    ApplyFamily(s, QWebEngineSettings::StandardFont, fonts.StandardFontFamily);
    ApplyFamily(s, QWebEngineSettings::FixedFont, fonts.FixedFontFamily);
    ApplyFamily(s, QWebEngineSettings::SerifFont, fonts.SerifFontFamily);
    ApplyFamily(s, QWebEngineSettings::SansSerifFont, fonts.SansSerifFontFamily);
    ApplyFamily(s, QWebEngineSettings::CursiveFont, fonts.CursiveFontFamily);
    ApplyFamily(s, QWebEngineSettings::FantasyFont, fonts.FantasyFontFamily);
    ApplySize(s, QWebEngineSettings::DefaultFontSize, fonts.DefaultFontSize);
    ApplySize(s, QWebEngineSettings::DefaultFixedFontSize, fonts.DefaultFixedFontSize);
    ApplySize(s, QWebEngineSettings::MinimumFontSize, fonts.MinimumFontSize);
    ApplySize(s, QWebEngineSettings::MinimumLogicalFontSize, fonts.MinimumLogicalFontSize);
}

}  // namespace

// Options without a Qt WebEngine attribute, and what happens instead:
// - WindowlessFrameRate: the view never renders off-screen.
// - JavascriptCloseWindows: window.close() always reaches the view's close
//   request; Qt has no switch for it.
// - CaretBrowsing, ImageShrinkStandaloneToFit, TextAreaResize, WebSecurity,
//   Java, Databases, RemoteFonts: no per-page switch exists; the engine's
//   defaults (which the program keeps anyway) apply.
// - ApplicationCache: the engine no longer has an application cache, so the
//   main window's STATE_DISABLED is what happens in any case.
void ApplyBrowserSettings(QWebEnginePage& page, const TChromiumOptions& options,
                          const TChromiumFontOptions& fonts, const QString& defaultEncoding) {
    QWebEngineSettings& s = *page.settings();
    ApplyState(s, Attr::JavascriptEnabled, options.Javascript);
    ApplyState(s, Attr::JavascriptCanOpenWindows, options.JavascriptOpenWindows);
    ApplyState(s, Attr::JavascriptCanAccessClipboard, options.JavascriptAccessClipboard);
    ApplyState(s, Attr::JavascriptCanPaste, options.JavascriptDomPaste);
    // Qt turns plug-ins off by default where the engine itself has them on;
    // the built-in PDF viewer is one, so the engine's default is restored.
    ApplyState(s, Attr::PluginsEnabled,
               options.Plugins == STATE_DEFAULT ? STATE_ENABLED : options.Plugins);
    ApplyState(s, Attr::LocalContentCanAccessRemoteUrls, options.UniversalAccessFromFileUrls);
    ApplyState(s, Attr::LocalContentCanAccessFileUrls, options.FileAccessFromFileUrls);
    ApplyState(s, Attr::AutoLoadImages, options.ImageLoading);
    ApplyState(s, Attr::LinksIncludedInFocusChain, options.TabToLinks);
    ApplyState(s, Attr::LocalStorageEnabled, options.LocalStorage);
    ApplyState(s, Attr::WebGLEnabled, options.Webgl);
    ApplyFonts(s, fonts);
    if (!defaultEncoding.isEmpty())
        s.setDefaultTextEncoding(defaultEncoding);
    if (options.BackgroundColor != 0)
        page.setBackgroundColor(QColor::fromRgba(options.BackgroundColor));
}

}  // namespace browser
