#pragma once

#include <QString>

class QIODevice;

namespace upgrader {

// Writes the whole Qt resource (":/replacer/Ruzozudo3") to the stream. False
// when there is no stream, the resource is missing or empty, or not all of it
// could be written.
bool WriteResourceToStream(const QString& ResourcePath, QIODevice* Stream);

}  // namespace upgrader
