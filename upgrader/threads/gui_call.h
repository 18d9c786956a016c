#pragma once

#include <functional>

namespace upgrader {

// True on the GUI thread (the application object's thread), and anywhere
// while there is no application object.
bool IsGuiThread();

// Runs the call on the GUI thread and returns when it has run: directly when
// called there, else as a blocking queued call on the application object.
// The GUI thread runs it from its event loop, including the nested loops of
// its waits (WaitForSignal, a component's WaitForCompletion), so a worker
// waiting here never deadlocks them. Without an application object the call
// runs on the calling thread.
void RunOnGuiThread(const std::function<void()>& call);

// Queues the call to the GUI thread without waiting for it.
void PostToGuiThread(std::function<void()> call);

}  // namespace upgrader
