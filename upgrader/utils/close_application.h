#pragma once

namespace upgrader {

// Asks every top-level window (the main window among them) to close and the
// application to quit; windows that refuse to close keep it running.
void CloseApplication();

}  // namespace upgrader
