#include "upgrader/http/transfer_session.h"

namespace upgrader {

TauTransferSession::TauTransferSession(TauCustomHTTP* Sender, TauTransferSettings Settings,
                                       TauWorkerEvents Events)
    : settings(std::move(Settings)), sender_(Sender), events_(std::move(Events)) {}

// No lock is held while the handler runs: a handler that hands a call to the
// GUI thread must not hold up a GUI thread that lets go of the transfer.
void TauTransferSession::RaiseOnWorker(
    const std::function<void(TauCustomHTTP* Sender, const TauWorkerEvents&)>& Raise) {
    if (!life.Detached())
        Raise(sender_, events_);
}

void TauTransferSession::Detach() {
    life.Detach();
    waker.Wake();
}

}  // namespace upgrader
