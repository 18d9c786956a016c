// The routine's side of the body: the output it goes to, the check of a
// resumed start, the chunks and their progress, the verdict at its end.
#include <algorithm>

#include "upgrader/http/custom_http.h"
#include "upgrader/http/transfer_routine.h"

namespace upgrader {

// Where the body goes: the output file for a body of the entity, else (and
// when the file cannot be made while the length is unknown) memory.
TauTransferRoutine::Output TauTransferRoutine::OpenOutput() {
    if (!Go())
        return Output::End;
    verifyFirst_ = false;
    resumeFailed_ = false;
    refused_ = false;
    state_.BodyTooLarge = false;
    state_.BytesTransferred = 0;
    if (IsBodyStatus(state_.StatusCode) && !settings_.OutputFileName.isEmpty()) {
        QString error;
        const bool resuming = state_.ResumeOffset != 0;
        if (session_->output.OpenFile(settings_.OutputFileName, !resuming, error)) {
            if (resuming && !session_->output.SeekFile(qint64(state_.ResumeOffset)))
                return Output::ResumeFailed;
            const TauFileAttributes incomplete = settings_.OutputFileAttributes.Incomplete();
            if (incomplete != TauFileAttributes(atrArchive))
                SetFileAttributesFromSet(settings_.OutputFileName, incomplete);
            verifyFirst_ = resuming;
            return Output::Ready;
        }
        state_.OutputError = error;
        if (state_.Success)
            return Output::End;
    }
    qint64 expected = state_.Success ? state_.ContentLength : 0;
    if (settings_.MemoryBodyLimit > 0)
        expected = std::min(expected, settings_.MemoryBodyLimit);
    session_->output.UseMemory(expected);
    return Output::Ready;
}

// The resumed start could not be used: the whole entity is fetched again,
// without asking for a part.
void TauTransferRoutine::ForgetResume() {
    wholeEntityNext_ = true;
    state_.StatusCode = -1;
    session_->output.Release(settings_.OutputFileAttributes.Incomplete());
    state_.ResumeOffset = 0;
    state_.ResumeEnd = 0;
    resumeFailed_ = false;
    verifyFirst_ = false;
}

// Takes what arrived, in chunks of at most the buffer size: the first chunk
// of a resumed download is checked against the file, every other one stored
// and shown.
bool TauTransferRoutine::Store(const char* Data, size_t Size) {
    const auto bufferSize = static_cast<size_t>(settings_.BufferSize());
    if (resumeFailed_ || refused_)
        return false;
    while (Size > 0) {
        if (!Go())
            return false;
        const size_t piece = std::min(Size, bufferSize);
        state_.BytesTransferred += qint64(piece);
        if (verifyFirst_) {
            verifyFirst_ = false;
            const qint64 held = session_->output.VerifyAndSkip(Data, qint64(piece));
            if (held < 0) {
                resumeFailed_ = true;
                return false;
            }
            if (held < qint64(piece) && !StoreChunk(Data + held, qint64(piece) - held))
                return false;
        } else if (!StoreChunk(Data, qint64(piece))) {
            return false;
        }
        Data += piece;
        Size -= piece;
    }
    return true;
}

bool TauTransferRoutine::StoreChunk(const char* Data, qint64 Size) {
    if (BodyOverMemoryLimit() || BodyOverFileLimit()) {
        state_.BodyTooLarge = true;
        refused_ = true;
        return false;
    }
    if (!session_->output.Write(Data, Size)) {
        refused_ = true;
        return false;
    }
    const qint64 elapsedMs = std::chrono::duration_cast<std::chrono::milliseconds>(
                                 std::chrono::steady_clock::now() - start_)
                                 .count();
    state_.Progress = ComputeProgress(state_.ContentLength, state_.BytesTransferred,
                                      qint64(state_.ResumeOffset), elapsedMs);
    if (!session_->hasDownloadProgress)
        return true;
    return OnGui([&](TauCustomHTTP& c) { c.RaiseDownloadProgress(*session_); });
}

// A body going to memory is held whole: a server that never ends it must not
// take all of the machine's memory.
bool TauTransferRoutine::BodyOverMemoryLimit() const {
    return settings_.MemoryBodyLimit > 0 && state_.BytesTransferred > settings_.MemoryBodyLimit &&
           !session_->output.FileCreated();
}

// The bytes counted include the chunk about to be written.
bool TauTransferRoutine::BodyOverFileLimit() const {
    return settings_.OutputFileLimit > 0 && state_.BytesTransferred > settings_.OutputFileLimit &&
           session_->output.FileCreated();
}

void TauTransferRoutine::FinishBody(bool BodyFailed) {
    state_.BodyFailed = BodyFailed;
    const bool entity = IsBodyStatus(state_.StatusCode);
    state_.Success = entity && !BodyFailed;
    if (state_.Success && state_.ContentLength != 0 && session_->output.Exists())
        state_.Success = state_.ContentLength == state_.BytesTransferred;
}

}  // namespace upgrader
