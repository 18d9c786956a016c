#pragma once

#include <QString>
#include <stdexcept>

namespace common {

// The text shown for a failed file operation: "File not found",
// "File access denied", or "I/O error %d" with the system's error number.
QString FileErrorText(int systemError);

// Raised by file operations of the shell; carries the text above.
class FileError : public std::runtime_error {
public:
    explicit FileError(int systemError);
    int systemError() const { return systemError_; }

private:
    int systemError_;
};

}  // namespace common
