#include "main/picture_error.h"

namespace main_window {

PictureError::PictureError(const QString& reason) : std::runtime_error(reason.toStdString()) {}

PictureFileError::PictureFileError(const QString& fileName, const QString& reason)
    : std::runtime_error(
          QStringLiteral("Cannot open file \"%1\". %2").arg(fileName, reason).toStdString()) {}

}  // namespace main_window
