#include "tests/support/modal_box_watcher.h"

#include <QApplication>
#include <QDialog>
#include <QMessageBox>
#include <QPushButton>

namespace test_support {

ModalBoxWatcher::ModalBoxWatcher(bool acceptDialogs) : acceptDialogs_(acceptDialogs) {
    connect(&timer_, &QTimer::timeout, this, &ModalBoxWatcher::answer);
    timer_.start(30);
}

void ModalBoxWatcher::answer() {
    QWidget* modal = QApplication::activeModalWidget();
    if (!modal)
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
