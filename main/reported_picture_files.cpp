#include "main/reported_picture_files.h"

#include <QSet>
#include <mutex>

namespace main_window {

bool IsFirstFailureOf(const QString& fileName) {
    static std::mutex guard;
    static QSet<QString> reported;
    const std::lock_guard lock(guard);
    if (reported.contains(fileName))
        return false;
    reported.insert(fileName);
    return true;
}

}  // namespace main_window
