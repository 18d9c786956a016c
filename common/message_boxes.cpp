#include "common/message_boxes.h"

#include <QApplication>
#include <QMessageBox>

namespace common {

namespace {
void ShowBox(QMessageBox::Icon icon, const QString& text) {
    QMessageBox box(icon, QApplication::applicationName(), text, QMessageBox::Ok);
    box.exec();
}
}  // namespace

void ShowInformationBox(const QString& text) { ShowBox(QMessageBox::NoIcon, text); }

void ShowErrorBox(const QString& text) { ShowBox(QMessageBox::Critical, text); }

}  // namespace common
