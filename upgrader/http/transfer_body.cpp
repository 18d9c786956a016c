// The routine's side of the body: the output it goes to, the check of a
// resumed start, the chunks and their progress, the verdict at its end.
#include <algorithm>
#include <utility>
#include <vector>

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
// and shown. The chunks are shown in one call on the GUI thread, one event
// per chunk with the figures it had, that the worker does not wait for: it
// goes on receiving, and holds what arrives in memory until the call has
// ended. So a handler never shares the output with the worker, a stop it
// asks for keeps every later arrival out, and at a high rate one call shows
// many arrivals.
bool TauTransferRoutine::Store(const char* Data, size_t Size) {
    if (resumeFailed_ || refused_)
        return false;
    if (!GuiCallEnded(showing_) && HeldBytes() + Size <= kMostHeldWhileShowing) {
        held_.emplace_back(Data, qsizetype(Size));
        return true;
    }
    return StoreAndShow(Data, Size);
}

// At the body's end: stores what is still held and waits until every chunk
// has been shown; false when the transfer stops or the output took no more.
bool TauTransferRoutine::FinishStoring() {
    const bool storing = StoreAndShow(nullptr, 0);
    return AwaitShown() && storing;
}

// Once the last progress call has ended: stores the held arrivals and this
// one, and starts the call that shows them.
bool TauTransferRoutine::StoreAndShow(const char* Data, size_t Size) {
    if (!AwaitShown())
        return false;
    std::vector<TauShownChunk> stored;
    const bool storing = StoreHeld(stored) && StoreArrival(Data, Size, stored);
    ShowStored(std::move(stored));
    return storing;
}

size_t TauTransferRoutine::HeldBytes() const {
    size_t bytes = 0;
    for (const QByteArray& arrival : held_)
        bytes += size_t(arrival.size());
    return bytes;
}

bool TauTransferRoutine::StoreHeld(std::vector<TauShownChunk>& Stored) {
    const std::vector<QByteArray> held = std::exchange(held_, {});
    for (const QByteArray& arrival : held) {
        if (!StoreArrival(arrival.constData(), size_t(arrival.size()), Stored))
            return false;
    }
    return true;
}

bool TauTransferRoutine::StoreArrival(const char* Data, size_t Size,
                                      std::vector<TauShownChunk>& Stored) {
    const auto bufferSize = static_cast<size_t>(settings_.BufferSize());
    while (Size > 0) {
        const size_t piece = std::min(Size, bufferSize);
        if (!Go() || !StorePiece(Data, piece, Stored))
            return false;
        Data += piece;
        Size -= piece;
    }
    return true;
}

// One chunk; false when the transfer cannot go on with it.
bool TauTransferRoutine::StorePiece(const char* Data, size_t Size,
                                    std::vector<TauShownChunk>& Stored) {
    state_.BytesTransferred += qint64(Size);
    qint64 held = 0;
    if (verifyFirst_) {
        verifyFirst_ = false;
        held = session_->output.VerifyAndSkip(Data, qint64(Size));
        if (held < 0) {
            resumeFailed_ = true;
            return false;
        }
        if (held == qint64(Size))
            return true;
    }
    if (!StoreChunk(Data + held, qint64(Size) - held))
        return false;
    if (session_->hasDownloadProgress)
        Stored.push_back({state_.BytesTransferred, state_.Progress});
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
    return true;
}

// Starts the progress events of the stored chunks, in order, until a handler
// stops the transfer or lets go of the component.
void TauTransferRoutine::ShowStored(std::vector<TauShownChunk> Stored) {
    if (Stored.empty() || !run_)
        return;
    const auto show = [session = session_, run = run_, component = component_,
                       chunks = std::move(Stored)] {
        const TauTransferLife& life = session->life;
        for (const TauShownChunk& chunk : chunks) {
            if (life.AbortRequested() || life.Detached() || run->Abandoned())
                return;
            component->RaiseDownloadProgress(*session, chunk.bytes, chunk.progress);
        }
    };
    showing_ = StartRunCall(run_, show);
}

// Waits for the progress events started last; false when the transfer is to
// stop.
bool TauTransferRoutine::AwaitShown() {
    if (!showing_)
        return true;
    FinishRunCall(run_, std::exchange(showing_, nullptr));
    return life_.GoOnAfterGuiCall(run_.get()) && Go();
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
