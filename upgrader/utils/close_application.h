#pragma once

namespace upgrader {

// Closes the main window (the first top-level QMainWindow) and asks the
// application to quit; windows that refuse to close keep it running.
void CloseApplication();

}  // namespace upgrader
