#pragma once

#include <QObject>

#include "browser/chromium.h"
#include "browser/chromium_devtools.h"

class QStatusBar;

namespace main_window {

// A double click on the status bar docks the engine's developer tools below
// the page, with the splitter above them; the next one closes them and hides
// both. While shown, dragging the splitter resizes the tools' panel.
class TDevToolsToggle : public QObject {
    Q_OBJECT
  public:
    TDevToolsToggle(browser::TChromium& crm, browser::TChromiumDevTools& devTools,
                    QWidget& splitter, QStatusBar& statusBar, QObject* owner);

    void StatusBarDblClick();

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    // The panel and the page each keep at least this height.
    static constexpr int kMinimumHeight = 30;

    void StartSplitterDrag(int globalY);
    void DragSplitter(int globalY);

    browser::TChromium& crm_;
    browser::TChromiumDevTools& devTools_;
    QWidget& splitter_;
    QStatusBar& statusBar_;
    int dragStartY_ = 0;
    int dragStartPanelHeight_ = 0;
    int dragStartPageHeight_ = 0;
};

}  // namespace main_window
