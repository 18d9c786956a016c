#pragma once

#include <QString>

namespace common {

// A modal box with the text, the application title (its name) as caption, one OK button
// and no icon.
void ShowInformationBox(const QString& text);

// A modal box with a stop icon, the application title as caption and the
// error's text: how an error raised in a GUI handler reaches the user.
void ShowErrorBox(const QString& text);

}  // namespace common
