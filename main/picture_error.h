#pragma once

#include <QString>
#include <stdexcept>

namespace main_window {

// A picture that cannot be read or decoded. The text is the reason alone
// ("No such file or directory", "Invalid JPEG picture: ..."), so that callers
// can put it into their own message.
class PictureError : public std::runtime_error {
  public:
    explicit PictureError(const QString& reason);
};

// Raised by the picture control when a picture file cannot be shown:
// Cannot open file "<relative name>". <reason>
class PictureFileError : public std::runtime_error {
  public:
    PictureFileError(const QString& fileName, const QString& reason);
};

}  // namespace main_window
