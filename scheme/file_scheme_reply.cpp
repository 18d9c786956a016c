#include "scheme/file_scheme_reply.h"

namespace scheme {

TFileSchemeReply::TFileSchemeReply(std::unique_ptr<TFileScheme> handler, qint64 responseLength)
    : handler_(std::move(handler)), responseLength_(responseLength) {
    open(QIODevice::ReadOnly | QIODevice::Unbuffered);
}

TFileSchemeReply::~TFileSchemeReply() = default;

bool TFileSchemeReply::seek(qint64 position) {
    return handler_->SeekResponse(position) && QIODevice::seek(position);
}

qint64 TFileSchemeReply::readData(char* data, qint64 maxSize) {
    qint64 bytesRead = 0;
    if (!handler_->ReadResponse(data, maxSize, bytesRead)) {
        setErrorString(QStringLiteral("The file could not be read to its end."));
        return -1;
    }
    // A file that shrank after its length was announced can never deliver
    // the rest; the engine would wait for it for ever, so it is an error.
    if (bytesRead == 0 && maxSize > 0 && pos() < responseLength_) {
        setErrorString(QStringLiteral("The file became shorter while it was read."));
        return -1;
    }
    return bytesRead;
}

qint64 TFileSchemeReply::writeData(const char*, qint64) {
    return -1;
}

}  // namespace scheme
