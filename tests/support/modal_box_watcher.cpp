#include "tests/support/modal_box_watcher.h"

#include <QApplication>
#include <QDialog>
#include <QMessageBox>
#include <QPushButton>
#include <algorithm>

namespace test_support {

ModalBoxWatcher::ModalBoxWatcher(bool acceptDialogs) : acceptDialogs_(acceptDialogs) {
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
        box->done(box->defaultButton() ? box->standardButton(box->defaultButton())
                                       : QMessageBox::Ok);
        return;
    }
    if (auto* dialog = qobject_cast<QDialog*>(modal))
        acceptDialogs_ ? dialog->accept() : dialog->reject();
}

}  // namespace test_support
