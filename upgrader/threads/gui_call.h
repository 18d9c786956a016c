#pragma once

#include <functional>
#include <memory>

namespace upgrader {

// True on the GUI thread (the application object's thread), and anywhere
// while there is no application object.
bool IsGuiThread();

// Makes the GUI thread ready to take calls from workers; called on the GUI
// thread by every worker component when it is created.
void PrepareGuiCalls();

// Runs the call on the GUI thread and returns when it has run: directly when
// called there; from another thread it is queued and a queued event on a
// GUI-thread object runs it. The GUI thread serves such events from every
// event loop, including the nested loops of its waits (WaitForSignal, a
// component's WaitForCompletion), so a worker waiting here never deadlocks
// them. An exception of the call is raised again on the calling thread. When
// the application goes away before the call ran, it is dropped. Without an
// application object the call runs on the calling thread.
void RunOnGuiThread(const std::function<void()>& call);

// Queues the call to the GUI thread without waiting for it.
void PostToGuiThread(std::function<void()> call);

// A call started on the GUI thread and waited for later, so that the worker
// goes on meanwhile. RunOnGuiThread is StartOnGuiThread followed by
// WaitForGuiCall; on the GUI thread the call runs at once. Null when the
// application is gone.
struct PendingGuiCall;
std::shared_ptr<PendingGuiCall> StartOnGuiThread(std::function<void()> call);
// Returns when the call has run (or was dropped), and raises its exception
// again; does nothing for null.
void WaitForGuiCall(const std::shared_ptr<PendingGuiCall>& call);
// True once the call has run (or was dropped); true for null.
bool GuiCallEnded(const std::shared_ptr<PendingGuiCall>& call);

}  // namespace upgrader
