#pragma once

namespace app {

// The engine's sub-processes (render, GPU, utility) run our executable. What
// they run needs Qt Core and Qt WebEngine Core only, so that the executable's
// entry serves them without loading the rest of the client.

// True when the engine started this process as one of its sub-processes.
bool IsEngineSubProcess(int argc, char** argv);

// Registers the "local" scheme (standard syntax with a host, local) with the
// engine. Runs in every role, before the engine starts.
void RegisterCustomSchemes();

// Runs the engine's sub-process entry in an application object of its own
// and returns when the engine has done with this process.
void RunEngineSubProcess(int argc, char** argv);

}  // namespace app
