#include "upgrader/dialogs/dialog_frame.h"

#include <QApplication>
#include <QDialog>
#include <QFont>
#include <QLabel>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>

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
    Label->setTextFormat(Qt::PlainText);
    Label->setText(Text);
    Label->adjustSize();
}

void SetWrappedText(QLabel* Label, int Width, const QString& Text) {
    // Texts from the server (the notice, file names) are never markup.
    Label->setTextFormat(Qt::PlainText);
    Label->setText(Text);
    Label->resize(Width, Label->heightForWidth(Width));
}

// The tallest client area a window may have: the screen's free height
// less room for the window's frame and title.
int MostClientHeight(const QWidget* Window) {
    constexpr int kFrameAllowance = 64;
    const QScreen* screen = Window->screen();
    return screen != nullptr ? screen->availableGeometry().height() - kFrameAllowance : 600;
}

// A text taller than the screen allows scrolls in the label's place.
void ScrollLabel(QWidget* Window, QLabel* Label, int Width, int Height) {
    auto* scroll = new QScrollArea(Window);
    scroll->setObjectName(Label->objectName() + QStringLiteral("Scroll"));
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    scroll->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    scroll->setGeometry(Label->x(), Label->y(), Width, Height);
    const int textWidth = Width - scroll->verticalScrollBar()->sizeHint().width();
    scroll->setWidget(Label);
    SetWrappedText(Label, textWidth, Label->text());
    scroll->show();
}

void FitTextAbovePanel(QWidget* Window, QLabel* Label, int RightMargin, QWidget* Panel,
                       const QString& Text) {
    const int width = Window->width() - Label->x() - RightMargin;
    SetWrappedText(Label, width, Text);
    const int top = Label->y();
    const int mostTextHeight = MostClientHeight(Window) - Panel->height() - top;
    int textHeight = Label->height();
    if (textHeight > mostTextHeight) {
        textHeight = mostTextHeight;
        ScrollLabel(Window, Label, width, textHeight);
    }
    Panel->move(0, top + textHeight);
    FitAndCenter(Window, top + textHeight + Panel->height());
}

}  // namespace upgrader
