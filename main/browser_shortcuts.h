#pragma once

class QLineEdit;
class QWidget;

namespace browser {
class TChromium;
}

namespace main_window {

class TFindBar;

// The keys every browser user presses, anywhere in the window: F5 and
// Ctrl+R reload, Alt+Left and Alt+Right go back and forward, Ctrl+L selects
// the address box, Ctrl+F opens the find bar, Ctrl+Plus, Ctrl+Minus and
// Ctrl+0 zoom the page. The page's editing keys (Ctrl+A, C, V, X, Z) stay the
// page's: the engine claims them before any shortcut sees them. Escape is not
// among these: a page's field may use it, so the window stops loading only on
// an Escape that the page left unused (TMainForm).
void AddBrowserShortcuts(QWidget& form, browser::TChromium& crm, QLineEdit& address,
                         TFindBar& findBar);

}  // namespace main_window
