#pragma once

#include <QIcon>
#include <QImage>
#include <QString>

namespace main_window {

// The tool bar's pictures are built into the program as well, so that each
// button has its first appearance before any file of the "ico" folder is
// loaded. fileName is a name of that folder ("star_full_ico.jpg"). Raises
// PictureError when the program has no such picture.
QImage EmbeddedPicture(const QString& fileName);

// The program's icon, built into the program.
QIcon ProgramIcon();

}  // namespace main_window
