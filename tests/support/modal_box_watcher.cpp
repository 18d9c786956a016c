#include "tests/support/modal_box_watcher.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <algorithm>

namespace test_support {

ModalBoxWatcher::ModalBoxWatcher() {
    connect(&timer_, &QTimer::timeout, this, &ModalBoxWatcher::answer);
    timer_.start(30);
}

void ModalBoxWatcher::answer() {
    int open = 0;
    for (QWidget* widget : QApplication::topLevelWidgets())
        open += qobject_cast<QMessageBox*>(widget) && widget->isVisible() ? 1 : 0;
    mostOpenAtOnce = std::max(mostOpenAtOnce, open);
    QWidget* modal = QApplication::activeModalWidget();
    if (!modal)
        return;
    if (modal != seen_) {
        seen_ = modal;
        seenFor_.start();
    }
    if (seenFor_.elapsed() < holdMs)
        return;
    if (auto* box = qobject_cast<QMessageBox*>(modal)) {
        texts << box->text();
        captions << box->windowTitle();
        icons << box->icon();
        if (reply != QMessageBox::NoButton && box->button(reply))
            box->done(reply);
        else
            box->done(box->defaultButton() ? box->standardButton(box->defaultButton())
                                           : QMessageBox::Ok);
    }
}

}  // namespace test_support
