#include <gtest/gtest.h>

#include <QWebEnginePage>
#include <QWebEngineProfile>
#include <QWebEngineSettings>

#include "browser/browser_settings.h"
#include "tests/support/qt_printers.h"

using browser::STATE_DISABLED;

// The main window's settings reach the page; what it leaves alone keeps the
// engine's defaults.
TEST(BrowserSettings, TheMainWindowsSettingsReachThePage) {
    QWebEngineProfile profile;
    QWebEnginePage page(&profile);
    QWebEngineSettings& s = *page.settings();
    const bool javascriptDefault = s.testAttribute(QWebEngineSettings::JavascriptEnabled);
    const QString standardDefault = s.fontFamily(QWebEngineSettings::StandardFont);
    const int sizeDefault = s.fontSize(QWebEngineSettings::DefaultFontSize);

    browser::TChromiumOptions options;
    browser::TChromiumFontOptions fonts;
    options.ApplicationCache = STATE_DISABLED;  // the main window's only change
    browser::ApplyBrowserSettings(page, options, fonts, "GBK");
    EXPECT_EQ(s.defaultTextEncoding(), "GBK");
    EXPECT_EQ(s.testAttribute(QWebEngineSettings::JavascriptEnabled), javascriptDefault);
    EXPECT_EQ(s.fontFamily(QWebEngineSettings::StandardFont), standardDefault);
    EXPECT_EQ(s.fontSize(QWebEngineSettings::DefaultFontSize), sizeDefault);
    // The engine's own default keeps plug-ins (the PDF viewer) on.
    EXPECT_TRUE(s.testAttribute(QWebEngineSettings::PluginsEnabled));

    // An empty encoding keeps the one set.
    browser::ApplyBrowserSettings(page, options, fonts, QString());
    EXPECT_EQ(s.defaultTextEncoding(), "GBK");
}
