#pragma once

#include <atomic>

namespace upgrader {

// Where one transfer stands between its component (GUI thread) and its
// worker. Every change goes through Move, which allows only these:
//
//   Running --Abort-------------------> AbortRequested
//   Running, AbortRequested --worker--> Stopped    (at a checkpoint; the
//                                                    worker reports the abort)
//   any --forced abort, next transfer,
//         component destroyed---------> Detached   (final: the component
//                                                    already let go; nothing
//                                                    of this transfer is
//                                                    reported any more)
enum class TauTransferStage { Running, AbortRequested, Stopped, Detached };

class TauTransferLife {
  public:
    TauTransferStage Stage() const { return stage_.load(); }
    bool Running() const { return Stage() == TauTransferStage::Running; }
    bool Detached() const { return Stage() == TauTransferStage::Detached; }
    // An abort asked for by the component and not let go of since.
    bool AbortAsked() const {
        const TauTransferStage stage = Stage();
        return stage == TauTransferStage::AbortRequested || stage == TauTransferStage::Stopped;
    }

    // True when the transfer now stands at To; a change that is not allowed
    // leaves it where it is.
    bool Move(TauTransferStage To);

  private:
    static bool Allowed(TauTransferStage From, TauTransferStage To);
    std::atomic<TauTransferStage> stage_{TauTransferStage::Running};
};

}  // namespace upgrader
