#include "upgrader/utils/resource_stream.h"

#include <QFile>

namespace upgrader {

bool WriteResourceToStream(const QString& ResourcePath, QIODevice* Stream) {
    if (Stream == nullptr || !ResourcePath.startsWith(u':'))
        return false;
    QFile resource(ResourcePath);
    if (!resource.open(QIODevice::ReadOnly))
        return false;
    const QByteArray content = resource.readAll();
    if (content.isEmpty())
        return false;
    return Stream->write(content) == content.size();
}

}  // namespace upgrader
