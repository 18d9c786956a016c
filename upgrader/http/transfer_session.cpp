#include "upgrader/http/transfer_session.h"

namespace upgrader {

TauTransferSession::TauTransferSession(TauCustomHTTP* Sender, TauTransferSettings Settings,
                                       TauWorkerEvents Events)
    : settings(std::move(Settings)), sender_(Sender), events_(std::move(Events)) {}

void TauTransferSession::RaiseOnWorker(
    const std::function<void(TauCustomHTTP* Sender, const TauWorkerEvents&)>& Raise) {
    std::lock_guard lock(workerEventsMutex_);
    if (!detached_)
        Raise(sender_, events_);
}

void TauTransferSession::Detach() {
    {
        std::lock_guard lock(workerEventsMutex_);
        detached_ = true;
    }
    waker.Wake();
}

bool TauTransferSession::Detached() const {
    std::lock_guard lock(workerEventsMutex_);
    return detached_;
}

}  // namespace upgrader
