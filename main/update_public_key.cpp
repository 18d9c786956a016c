#include "main/update_public_key.h"

namespace main_window {

QByteArray BuiltInUpdatePublicKey() {
    return QByteArrayLiteral(QUORVANE_UPDATE_PUBLIC_KEY);
}

}  // namespace main_window
