// The automatic check timer and CheckUpdate.
#include <QDateTime>
#include <QPointer>
#include <QTimer>
#include <algorithm>
#include <stdexcept>
#include <utility>

#include "common/application.h"
#include "upgrader/auto/auto_upgrader.h"
#include "upgrader/http/answer_headers.h"
#include "upgrader/utils/network_presence.h"

namespace upgrader {

void TauAutoUpgrader::SetAutoCheck(bool Value) {
    if (Value == autoCheck_)
        return;
    autoCheck_ = Value;
    ArmAutoCheckTimer();
}

qint32 TauAutoUpgrader::AutoCheckTimerInterval() const {
    return checkTimer_->isActive() ? checkTimer_->interval() : 0;
}

// The timer is periodic: while the machine is off-line every tick tests
// again without fetching anything.
void TauAutoUpgrader::ArmAutoCheckTimer(qint32 Interval) {
    checkTimer_->stop();
    if (!autoCheck_ || timerCheckActive_ || AutoCheckDelay <= 0)
        return;
    checkTimer_->start(Interval);
    if (!checkTimer_->isActive())
        throw std::runtime_error("Not enough timers available");
}

// One automatic check per run of the program: the timer is killed before
// the check and armed again only after an unreachable host.
void TauAutoUpgrader::AutoCheckTimerTick() {
    try {
        if (!IsOnline() || !autoCheck_)
            return;
        timerCheckActive_ = true;
        ArmAutoCheckTimer();
        if (infoAwaitingSignature_.isEmpty())
            CheckUpdate(false);
        else
            RetrySignature();
        // Before any event of the transfer: those come through the event
        // loop, after this tick has returned.
        autoCheckStarted_ = true;
    } catch (const std::exception& error) {
        common::ReportHandlerError(error);
    }
}

// The automatic check tries again after the backoff's next delay, or after
// AtLeastMs when that is longer (at most the backoff's cap). An info file
// whose signature could not be fetched is kept, and only the signature is
// fetched again: a server that refuses every second connection gets one a
// retry, as one that is down does.
void TauAutoUpgrader::RetryAutoCheck(qint64 AtLeastMs) {
    if (fetchingSignature_ && !unverifiedInfo_.isEmpty())
        infoAwaitingSignature_ = std::exchange(unverifiedInfo_, {});
    fetchingSignature_ = false;
    const qint64 delay = retryBackoff_.NextDelay(AutoCheckDelay);
    timerCheckActive_ = false;
    try {
        ArmAutoCheckTimer(qint32(std::max(delay, std::min(AtLeastMs, TRetryBackoff::kCapMs))));
    } catch (const std::exception& error) {
        common::ReportHandlerError(error);
    }
}

// A busy server (429, 503) is asked again by the automatic check, no sooner
// than its Retry-After says.
void TauAutoUpgrader::RetryBusyServer(int Status) {
    if (!autoCheckStarted_ || (Status != 429 && Status != 503))
        return;
    const qint64 asked =
        RetryAfterSeconds(State().RawHeaders, QDateTime::currentSecsSinceEpoch()).value_or(0);
    RetryAutoCheck(std::min(asked, TRetryBackoff::kCapMs / 1000) * 1000);
}

void TauAutoUpgrader::RetrySignature() {
    aborted_ = false;
    autoCheckStarted_ = false;
    if (Busy())
        return;
    checkingInfoFile_ = true;
    TauHTTPSettings::CacheOptions = CacheOptions | coPragmaNoCache;
    OutputFileLimit = 0;
    unverifiedInfo_ = std::exchange(infoAwaitingSignature_, {});
    FetchSignature();
}

bool TauAutoUpgrader::CheckUpdate(bool Wait) {
    infoAwaitingSignature_.clear();
    if (Wait)
        waitingCheck_ = true;
    aborted_ = false;
    autoCheckStarted_ = false;
    bool fetching = Busy() && checkingInfoFile_;
    if (!Busy()) {
        checkingInfoFile_ = true;
        fetchingSignature_ = false;
        TauHTTPSettings::CacheOptions = CacheOptions | coPragmaNoCache;
        URL = InfoFileURL;
        OutputFileName.clear();
        OutputFileLimit = 0;
        ReleaseOutput();
        fetching = Read(false);
    }
    // Only a fetch of the info file ends the wait: a waiting check that could
    // not start one would otherwise wait for good.
    if (Wait && fetching && !WaitForDone())
        return false;  // the upgrader is gone
    waitingCheck_ = false;
    return updateAvailable_;
}

std::optional<TauWaitEnd> TauAutoUpgrader::WaitForDone() {
    const QPointer<TauAutoUpgrader> self(this);
    const std::shared_ptr<TauSignal> done = doneEvent_;
    const TauWaitEnd end = WaitForSignal(*done, 0, true);
    if (self.isNull())
        return std::nullopt;
    return end;
}

}  // namespace upgrader
