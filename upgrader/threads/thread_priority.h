#pragma once

#include <sys/types.h>

namespace upgrader {

// Scheduling priority of a worker, from idle to time-critical. Each value is
// a nice value of the thread: 15, 2, 1, 0, -1, -2, -15 in this order.
enum TThreadPriority {
    tpIdle,
    tpLowest,
    tpLower,
    tpNormal,
    tpHigher,
    tpHighest,
    tpTimeCritical,
};

// The thread's priority as read from the system; a nice value that is not in
// the table (set by someone else), or a thread that cannot be asked, reads as
// tpNormal.
TThreadPriority ReadThreadPriority(pid_t threadId);

// Gives the thread the priority's nice value. False, changing nothing, when
// the system refuses (raising a priority needs the right to) or the value is
// not one of the seven.
bool WriteThreadPriority(pid_t threadId, TThreadPriority priority);

}  // namespace upgrader
