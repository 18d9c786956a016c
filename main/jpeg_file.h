#pragma once

#include <QByteArray>
#include <QImage>
#include <QString>

namespace main_window {

// The largest JPEG picture decoded, in pixels; larger ones are refused before
// any memory is taken for them.
inline constexpr qint64 kMaxJpegPixels = 8192LL * 8192LL;

// Decodes a JPEG picture (baseline or progressive; grey, colour or CMYK) with
// libjpeg into an opaque RGB32 image. Raises PictureError for data that is not
// a complete JPEG picture, including data that ends early.
QImage DecodeJpeg(const QByteArray& bytes);

// Reads and decodes a JPEG file; a relative path is taken from the current
// folder. Raises PictureError with the system's or the decoder's reason.
QImage ReadJpegFile(const QString& path);

}  // namespace main_window
