#include <gtest/gtest.h>

#include <QWebEnginePage>
#include <QWebEngineProfile>
#include <QWebEngineSettings>

#include "browser/browser_settings.h"
#include "tests/support/qt_printers.h"

using browser::STATE_DEFAULT;
using browser::STATE_DISABLED;
using browser::STATE_ENABLED;

TEST(BrowserSettings, StatesFontsAndEncodingReachThePage) {
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

    options.Javascript = STATE_DISABLED;
    options.LocalStorage = STATE_DISABLED;
    options.JavascriptOpenWindows = STATE_ENABLED;
    options.Webgl = STATE_DISABLED;
    options.ImageLoading = STATE_DISABLED;
    options.Plugins = STATE_DISABLED;
    fonts.StandardFontFamily = "DejaVu Serif";
    fonts.FixedFontFamily = "DejaVu Sans Mono";
    fonts.DefaultFontSize = 21;
    fonts.MinimumFontSize = 7;
    browser::ApplyBrowserSettings(page, options, fonts, QString());
    EXPECT_FALSE(s.testAttribute(QWebEngineSettings::JavascriptEnabled));
    EXPECT_FALSE(s.testAttribute(QWebEngineSettings::LocalStorageEnabled));
    EXPECT_TRUE(s.testAttribute(QWebEngineSettings::JavascriptCanOpenWindows));
    EXPECT_FALSE(s.testAttribute(QWebEngineSettings::WebGLEnabled));
    EXPECT_FALSE(s.testAttribute(QWebEngineSettings::AutoLoadImages));
    EXPECT_FALSE(s.testAttribute(QWebEngineSettings::PluginsEnabled));
    EXPECT_EQ(s.fontFamily(QWebEngineSettings::StandardFont), "DejaVu Serif");
    EXPECT_EQ(s.fontFamily(QWebEngineSettings::FixedFont), "DejaVu Sans Mono");
    EXPECT_EQ(s.fontSize(QWebEngineSettings::DefaultFontSize), 21);
    EXPECT_EQ(s.fontSize(QWebEngineSettings::MinimumFontSize), 7);
    EXPECT_EQ(s.defaultTextEncoding(), "GBK");  // an empty encoding keeps the one set
}
