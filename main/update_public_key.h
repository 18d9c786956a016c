#pragma once

#include <QByteArray>

namespace main_window {

// The publisher's minisign public key the program was built with; empty
// when it was built without one (its updates are then unsigned).
QByteArray BuiltInUpdatePublicKey();

}  // namespace main_window
