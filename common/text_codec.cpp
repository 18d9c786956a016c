#include "common/text_codec.h"

#include <QStringDecoder>
#include <QStringEncoder>

namespace common {

namespace {
constexpr const char* kCodecName = "GB18030";
}

QString FromGbk(const QByteArray& bytes) {
    QStringDecoder decoder(kCodecName);
    return decoder.decode(bytes);
}

QByteArray ToGbk(const QString& text) {
    QStringEncoder encoder(kCodecName);
    return encoder.encode(text);
}

}  // namespace common
