#include "main/dev_tools_toggle.h"

#include <QMouseEvent>
#include <QStatusBar>
#include <algorithm>

namespace main_window {

TDevToolsToggle::TDevToolsToggle(browser::TChromium& crm, browser::TChromiumDevTools& devTools,
                                 QWidget& splitter, QStatusBar& statusBar, QObject* owner)
    : QObject(owner), crm_(crm), devTools_(devTools), splitter_(splitter), statusBar_(statusBar) {
    setObjectName(QStringLiteral("DevToolsToggle"));
    statusBar_.installEventFilter(this);
    splitter_.installEventFilter(this);
}

// Without a browser the panel and the splitter still show and hide; the
// engine is not asked for anything.
void TDevToolsToggle::StatusBarDblClick() {
    if (devTools_.isVisible()) {
        devTools_.CloseDevTools(crm_.Browser());
        splitter_.hide();
        devTools_.hide();
        return;
    }
    devTools_.show();
    splitter_.show();
    devTools_.ShowDevTools(crm_.Browser());
}

bool TDevToolsToggle::eventFilter(QObject* watched, QEvent* event) {
    if (watched == &statusBar_ && event->type() == QEvent::MouseButtonDblClick) {
        StatusBarDblClick();
        return true;
    }
    const bool splitterMouse =
        watched == &splitter_ &&
        (event->type() == QEvent::MouseButtonPress || event->type() == QEvent::MouseMove);
    if (splitterMouse) {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        const int y = mouse->globalPosition().toPoint().y();
        if (event->type() == QEvent::MouseButtonPress && mouse->button() == Qt::LeftButton)
            StartSplitterDrag(y);
        else if (event->type() == QEvent::MouseMove && (mouse->buttons() & Qt::LeftButton))
            DragSplitter(y);
    }
    return QObject::eventFilter(watched, event);
}

void TDevToolsToggle::StartSplitterDrag(int globalY) {
    dragStartY_ = globalY;
    dragStartPanelHeight_ = devTools_.height();
    dragStartPageHeight_ = crm_.height();
}

// Moving the splitter up grows the panel by what the page gives up.
void TDevToolsToggle::DragSplitter(int globalY) {
    const int wanted = dragStartPanelHeight_ + (dragStartY_ - globalY);
    const int largest = dragStartPanelHeight_ + dragStartPageHeight_ - kMinimumHeight;
    devTools_.setFixedHeight(std::clamp(wanted, kMinimumHeight, std::max(kMinimumHeight, largest)));
}

}  // namespace main_window
