#include "upgrader/http/transfer_life.h"

namespace upgrader {

bool TauTransferLife::Allowed(TauTransferStage From, TauTransferStage To) {
    switch (To) {
        case TauTransferStage::AbortRequested:
            return From == TauTransferStage::Running;
        case TauTransferStage::Stopped:
            return From == TauTransferStage::Running || From == TauTransferStage::AbortRequested;
        case TauTransferStage::Detached:
            return true;
        case TauTransferStage::Running:
            return false;
    }
    return false;
}

bool TauTransferLife::Move(TauTransferStage To) {
    TauTransferStage from = stage_.load();
    while (from != To) {
        if (!Allowed(from, To))
            return false;
        if (stage_.compare_exchange_weak(from, To))
            return true;
    }
    return true;
}

}  // namespace upgrader
