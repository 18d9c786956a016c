#include "upgrader/http/transfer_session.h"

namespace upgrader {

TauTransferSession::TauTransferSession(TauCustomHTTP* Sender, TauTransferSettings Settings,
                                       TauWorkerEvents Events)
    : settings(std::move(Settings)), sender_(Sender), events_(std::move(Events)) {}

// No lock is held while the handler runs: a handler that hands a call to the
// GUI thread must not hold up a GUI thread that lets go of the transfer.
void TauTransferSession::RaiseOnWorker(
    const std::function<void(TauCustomHTTP* Sender, const TauWorkerEvents&)>& Raise) {
    if (!detached_.load())
        Raise(sender_, events_);
}

void TauTransferSession::Detach() {
    detached_ = true;
    waker.Wake();
}

bool TauTransferSession::Detached() const {
    return detached_.load();
}

}  // namespace upgrader
