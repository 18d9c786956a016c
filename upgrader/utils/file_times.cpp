#include "upgrader/utils/file_times.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QFile>

namespace upgrader {

namespace {

timespec FileTimeOf(TDateTime value) {
    if (value == kKeepFileTime)
        return {0, UTIME_OMIT};
    const qint64 seconds = QDateTimeFromDateTime(value).toSecsSinceEpoch();
    return {static_cast<time_t>(seconds - (seconds & 1)), 0};
}

}  // namespace

bool SetFileTimes(const QString& FileName, TDateTime CreationTime, TDateTime LastWriteTime,
                  TDateTime LastAccessTime) {
    Q_UNUSED(CreationTime);
    const int file = ::open(QFile::encodeName(FileName).constData(), O_WRONLY | O_CLOEXEC);
    if (file < 0)
        return false;
    const timespec times[2] = {FileTimeOf(LastAccessTime), FileTimeOf(LastWriteTime)};
    const bool written = ::futimens(file, times) == 0;
    ::close(file);
    return written;
}

}  // namespace upgrader
