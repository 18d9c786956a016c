#pragma once

#include <QString>

class QDialog;
class QLabel;
class QWidget;

namespace upgrader {

// The application's title ("Quorvane"), shown in the upgrader's texts.
QString ApplicationTitle();

// A fixed dialog border: no resizing, no minimise or maximise buttons, only
// the close box; the client area keeps its size. StayOnTop keeps it above
// other windows. The dialog font is "MS Sans Serif" or the nearest face.
void UseFixedDialogFrame(QDialog* Dialog, bool StayOnTop);

// Sets the client height (the width stays) and centres the window on its
// screen.
void FitAndCenter(QWidget* Window, int ClientHeight);

// Labels show their texts as plain text, never as markup.

// A label that grows to its one-line text, as an auto-sized label does.
void SetAutoSizeText(QLabel* Label, const QString& Text);

// A word-wrapped label of the given width that grows in height to its text.
void SetWrappedText(QLabel* Label, int Width, const QString& Text);

// The text label at the top of a question window, word-wrapped up to
// RightMargin from the window's right edge, with the button panel right below
// it: the window's height follows the text, and the window is centred. A text
// taller than the screen allows scrolls, so the buttons stay on the screen.
void FitTextAbovePanel(QWidget* Window, QLabel* Label, int RightMargin, QWidget* Panel,
                       const QString& Text);

}  // namespace upgrader
