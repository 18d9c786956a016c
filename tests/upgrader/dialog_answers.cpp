#include "tests/upgrader/dialog_answers.h"

#include <QApplication>

namespace dialog_test {

ModalActor::ModalActor(std::function<void(QWidget*)> Act) : act_(std::move(Act)) {
    connect(&timer_, &QTimer::timeout, this, &ModalActor::Look);
    timer_.start(20);
}

void ModalActor::Look() {
    QWidget* modal = QApplication::activeModalWidget();
    if (modal == nullptr || !modal->isVisible()) {
        handled_ = nullptr;  // the next window may take the same address
        return;
    }
    if (modal == handled_)
        return;
    handled_ = modal;
    act_(modal);
}

MessageBoxAnswerer::MessageBoxAnswerer(QMessageBox::StandardButton Answer) : answer_(Answer) {
    connect(&timer_, &QTimer::timeout, this, &MessageBoxAnswerer::Look);
    timer_.start(20);
}

void MessageBoxAnswerer::Look() {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    if (box == nullptr || !box->isVisible())
        return;
    texts << box->text();
    captions << box->windowTitle();
    icons << box->icon();
    box->done(answer_);
}

}  // namespace dialog_test
