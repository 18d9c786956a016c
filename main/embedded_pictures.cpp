#include "main/embedded_pictures.h"

#include <QFile>

#include "main/jpeg_file.h"
#include "main/picture_error.h"

namespace main_window {

QImage EmbeddedPicture(const QString& fileName) {
    QFile picture(QStringLiteral(":/pictures/") + fileName);
    if (!picture.open(QIODevice::ReadOnly)) {
        throw PictureError(QStringLiteral("The program has no picture \"%1\"").arg(fileName));
    }
    return DecodeJpeg(picture.readAll());
}

QIcon ProgramIcon() {
    return QIcon(QStringLiteral(":/pictures/quorvane_icon.png"));
}

}  // namespace main_window
