#include "upgrader/threads/thread_priority.h"

#include <sys/resource.h>

#include <array>
#include <cerrno>

namespace upgrader {

namespace {
constexpr std::array<int, 7> kNiceValues = {15, 2, 1, 0, -1, -2, -15};
}

TThreadPriority ReadThreadPriority(pid_t threadId) {
    errno = 0;
    const int nice = getpriority(PRIO_PROCESS, static_cast<id_t>(threadId));
    if (nice == -1 && errno != 0)
        return tpNormal;
    for (size_t i = 0; i < kNiceValues.size(); ++i)
        if (kNiceValues[i] == nice)
            return static_cast<TThreadPriority>(i);
    return tpNormal;
}

bool WriteThreadPriority(pid_t threadId, TThreadPriority priority) {
    if (priority < tpIdle || priority > tpTimeCritical)
        return false;
    return setpriority(PRIO_PROCESS, static_cast<id_t>(threadId), kNiceValues[priority]) == 0;
}

}  // namespace upgrader
