// The routine's branch for "file" URLs: a local file read like an answer.
#include <QFileInfo>
#include <algorithm>

#include "upgrader/http/transfer_routine.h"

namespace upgrader {

namespace {

// A local file is read in pieces of at most this size, whatever the buffer
// size setting allows.
constexpr qint64 kLargestLocalRead = 1024 * 1024;

}  // namespace

void TauTransferRoutine::FetchLocalFile() {
    for (;;) {
        QFile source(QFile::decodeName(parts_.UrlPath));
        state_.StatusCode = OpenLocalFile(source);
        if (state_.StatusCode != 200)
            state_.ContentLength = 0;
        const Output output = OpenOutput();
        if (output == Output::End)
            return;
        if (output == Output::ResumeFailed || (CopyLocalFile(source) && resumeFailed_)) {
            ForgetResume();
            continue;
        }
        return;
    }
}

// Opens the file and places it at the start of the range asked for. The
// status a server would give: 200, or 404 for no such file, 403 for one that
// cannot be read, 416 for a range that starts beyond it.
int TauTransferRoutine::OpenLocalFile(QFile& Source) {
    if (!QFileInfo(Source.fileName()).isFile())
        return 404;
    if (!Source.open(QIODevice::ReadOnly))
        return 403;
    const bool resume = state_.ResumeOffset != 0 || state_.ResumeEnd != 0;
    const quint64 start = resume ? state_.ResumeOffset : settings_.Range.StartRange;
    const quint64 last = resume ? state_.ResumeEnd : settings_.Range.EndRange;
    const auto size = quint64(Source.size());
    if (start > size || !Source.seek(qint64(start))) {
        Source.close();
        return 416;
    }
    const quint64 end = last != 0 ? std::min(last + 1, size) : size;
    state_.ContentLength = qint64(std::max(end, start) - start);
    state_.Success = true;
    return 200;
}

// Moves the file's range into the output; false when the transfer stopped.
bool TauTransferRoutine::CopyLocalFile(QFile& Source) {
    if (!Source.isOpen()) {
        FinishBody(false);
        return true;
    }
    const qint64 pieceSize = std::min<qint64>(settings_.BufferSize(), kLargestLocalRead);
    QByteArray buffer(pieceSize, Qt::Uninitialized);
    qint64 left = state_.ContentLength;
    bool failed = false;
    while (left > 0) {
        if (!Go())
            return false;
        const qint64 count = Source.read(buffer.data(), std::min(pieceSize, left));
        if (count <= 0) {
            failed = true;
            break;
        }
        left -= count;
        if (!Store(buffer.constData(), size_t(count))) {
            failed = !resumeFailed_;
            break;
        }
    }
    failed = !FinishStoring() || failed;
    if (life_.Stopped())
        return false;
    if (!resumeFailed_)
        FinishBody(failed);
    return true;
}

}  // namespace upgrader
