#pragma once

#include <functional>

class QLineEdit;
class QShortcut;
class QWidget;

namespace browser {
class TChromium;
}

namespace main_window {

// The keys every browser user presses, anywhere in the window: F5 and
// Ctrl+R reload, Alt+Left and Alt+Right go back and forward, Ctrl+L selects
// the address box, Ctrl+F calls openFindBar, Ctrl+Plus, Ctrl+Minus and
// Ctrl+0 zoom the page. The page's editing keys (Ctrl+A, C, V, X, Z) stay the
// page's: the engine claims them before any shortcut sees them. Gives the
// Escape shortcut that stops loading, disabled: a page's field may use
// Escape, so the caller enables it only while a page loads (the engine
// takes no input for a page that has not drawn yet, so it cannot be left to
// the page to pass it on).
QShortcut* AddBrowserShortcuts(QWidget& form, browser::TChromium& crm, QLineEdit& address,
                               std::function<void()> openFindBar);

}  // namespace main_window
