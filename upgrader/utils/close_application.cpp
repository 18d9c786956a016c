#include "upgrader/utils/close_application.h"

#include <QApplication>

namespace upgrader {

// The main window need not be a QMainWindow (the program's is a plain
// top-level widget): every top-level window is asked to close, the main one
// among them, before the application is asked to quit.
void CloseApplication() {
    QApplication::closeAllWindows();
    QCoreApplication::quit();
}

}  // namespace upgrader
