#include "upgrader/dialogs/dialog_frame.h"

#include <QApplication>
#include <QDialog>
#include <QFont>
#include <QLabel>
#include <QScreen>

namespace upgrader {

QString ApplicationTitle() {
    return QApplication::applicationName();
}

void UseFixedDialogFrame(QDialog* Dialog, bool StayOnTop) {
    // Where "MS Sans Serif" is missing, a face of the same narrow metrics
    // keeps the texts within the controls' fixed places.
    QFont font = Dialog->font();
    font.setFamilies({QStringLiteral("MS Sans Serif"), QStringLiteral("Liberation Sans"),
                      QStringLiteral("Arimo"), QStringLiteral("Arial")});
    Dialog->setFont(font);
    Dialog->setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                           Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);
    Dialog->setWindowFlag(Qt::WindowStaysOnTopHint, StayOnTop);
    Dialog->setSizeGripEnabled(false);
}

void FitAndCenter(QWidget* Window, int ClientHeight) {
    Window->setFixedSize(Window->width(), ClientHeight);
    if (const QScreen* screen = Window->screen()) {
        const QRect area = screen->availableGeometry();
        Window->move(area.center() - QPoint(Window->width() / 2, ClientHeight / 2));
    }
}

void SetAutoSizeText(QLabel* Label, const QString& Text) {
    Label->setText(Text);
    Label->adjustSize();
}

void SetWrappedText(QLabel* Label, int Width, const QString& Text) {
    Label->setText(Text);
    Label->resize(Width, Label->heightForWidth(Width));
}

void FitTextAbovePanel(QWidget* Window, QLabel* Label, int RightMargin, QWidget* Panel,
                       const QString& Text) {
    SetWrappedText(Label, Window->width() - Label->x() - RightMargin, Text);
    const int textBottom = Label->y() + Label->height();
    Panel->move(0, textBottom);
    FitAndCenter(Window, textBottom + Panel->height());
}

}  // namespace upgrader
