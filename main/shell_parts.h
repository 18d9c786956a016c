#pragma once

#include <QString>
#include <QWidget>

#include "browser/chromium.h"
#include "main/picture_control.h"
#include "main/tool_bar_pictures.h"

namespace main_window {

// The parts of the main window that its menu commands work with: the window,
// whose caption is the current page's title, the page view and the star.
struct ShellParts {
    QWidget& form;
    browser::TChromium& crm;
    TImage& star;

    // The main frame's address, empty without a browser.
    QString CurrentUrl() const {
        browser::TCefBrowser* browser = crm.Browser();
        return browser ? browser->GetMainFrame()->GetUrl() : QString();
    }
    // The page's title as the caption shows it (see crmTitleChange).
    QString Caption() const {
        return form.windowTitle().replace(QStringLiteral("[*][*]"), QStringLiteral("[*]"));
    }
    void ShowNormalStar() const {
        star.LoadFromFile(QString::fromLatin1(kFavoritePictures.normal));
    }
};

}  // namespace main_window
