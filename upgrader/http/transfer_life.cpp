#include "upgrader/http/transfer_life.h"

namespace upgrader {

bool TauTransferLife::Go(TauThreadRun* Run) {
    if (!Stopped() && ((Run && !Run->Checkpoint()) || Has(kAbortRequested | kDetached)))
        Stop();
    return !Stopped();
}

bool TauTransferLife::StopRequested(const TauThreadRun* Run) const {
    return Has(kStopped | kAbortRequested) || (Run && Run->StopRequested());
}

bool TauTransferLife::GoOnAfterGuiCall(const TauThreadRun* Run) {
    if (Run && Run->Abandoned())
        Stop();
    return !Stopped();
}

}  // namespace upgrader
