#pragma once

#include <QWidget>

namespace browser {

class TCefBrowser;

// Hosts the engine's developer tools for a browser, filling the control.
class TChromiumDevTools : public QWidget {
    Q_OBJECT
  public:
    explicit TChromiumDevTools(QWidget* parent = nullptr);

    // Shows the developer tools of `browser` in a new child view; does nothing
    // without a browser. `inspectAt` selects the element there (none: -1,-1).
    void ShowDevTools(TCefBrowser* browser, QPoint inspectAt = QPoint(-1, -1));
    // Detaches the child view and closes the developer tools of `browser`;
    // does nothing without a browser.
    void CloseDevTools(TCefBrowser* browser);
    // The hosted developer tools view, if any.
    QWidget* firstChild() const;
};

}  // namespace browser
