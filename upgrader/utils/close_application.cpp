#include "upgrader/utils/close_application.h"

#include <QApplication>
#include <QMainWindow>

namespace upgrader {

namespace {

QWidget* MainForm() {
    for (QWidget* widget : QApplication::topLevelWidgets())
        if (qobject_cast<QMainWindow*>(widget) != nullptr)
            return widget;
    return nullptr;
}

}  // namespace

void CloseApplication() {
    if (QWidget* main = MainForm())
        main->close();
    QCoreApplication::quit();
}

}  // namespace upgrader
