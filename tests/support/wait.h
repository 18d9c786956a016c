#pragma once

#include <functional>

namespace test_support {

// Serves the event loop until the condition holds or the time-out passes;
// returns whether the condition held.
bool WaitUntil(const std::function<bool()>& condition, int timeoutMs = 20000);

// Serves the event loop for the given time.
void ServeEvents(int ms);

}  // namespace test_support
