// The end of a transfer as the component reports it, on the GUI thread once
// the worker's routine returned.
#include <QFile>
#include <QPointer>

#include "upgrader/http/custom_http.h"

namespace upgrader {

void TauCustomHTTP::Complete(std::shared_ptr<TauTransferSession> session) {
    if (!IsCurrent(session)) {
        ReleaseSessionOutput(*session);
        return;
    }
    // An abort that came after the worker's last checkpoint still ends as an
    // abort.
    if (session->life.AbortRequested()) {
        AbortCleanUp(session);
        return;
    }
    session->output.Rewind();
    busy_ = false;
    const QPointer<TauCustomHTTP> self(this);
    try {
        CompleteWithOutcome(session);
    } catch (...) {
        // A handler raised: the worker component reports it (OnAnyError);
        // the transfer still ends here, so the component stays usable.
        if (!self.isNull() && IsCurrent(session))
            ReleaseOutput();
        throw;
    }
}

// Handlers may start the next transfer (or destroy the component): from
// then on this one reports nothing more and only lets go of its own output.
void TauCustomHTTP::CompleteWithOutcome(const std::shared_ptr<TauTransferSession>& session) {
    const QPointer<TauCustomHTTP> self(this);
    const auto goesOn = [&] { return !self.isNull() && IsCurrent(session); };
    const auto raise = [&](const auto& handler, auto&&... arguments) {
        if (goesOn() && handler)
            handler(this, arguments...);
        return goesOn();
    };
    const TauTransferState& s = session->state;
    QIODevice* stream = session->output.Stream();
    bool deleteFile = false;
    if (s.Continue && s.Success && stream == nullptr) {
        if (raise(OnAnyError) && raise(OnDoneWithoutStream))
            active_ = false;
        return;
    }
    if (s.Continue && s.Success) {
        const bool toFile = session->output.FileCreated();
        if (toFile) {
            const TauTransferOutput::Released released =
                session->output.Release(OutputFileAttributes.Incomplete());
            if (OutputFileAttributes.Complete() != OutputFileAttributes.Incomplete())
                SetFileAttributesFromSet(released.fileName, OutputFileAttributes.Complete());
        }
        raise(OnDone, s.ContentType, s.BytesTransferred + qint64(s.ResumeOffset),
              toFile ? nullptr : stream);
    } else if (s.Continue) {
        bool reported = false;
        if (IsBodyStatus(s.StatusCode)) {
            reported = raise(OnDoneInterrupted, s.ContentType, s.ContentLength, s.BytesTransferred,
                             stream);
        } else if (s.StatusCode == -1) {
            reported = raise(OnConnectionFailed);
        } else {
            deleteFile = session->output.FileCreated();
            reported = raise(OnHTTPError, s.StatusCode, stream);
        }
        if (reported)
            raise(OnAnyError);
    }
    if (!goesOn()) {
        if (!self.isNull())
            ReleaseSessionOutput(*session);
        return;
    }
    const QString fileName = session->output.FileName();
    ReleaseOutput();
    if (deleteFile)
        QFile::remove(fileName);
    if (!s.Continue && OnTransferStopped)
        OnTransferStopped(this);
}

}  // namespace upgrader
