#pragma once

#include <QByteArray>
#include <QList>
#include <optional>

namespace upgrader {

class TauInfoText;

// A staged release: the info file's "#rollout=5@<seconds>,25@<seconds>,..."
// gives, from each time on (seconds since 1970, UTC), the share of clients
// in per cent (a decimal is allowed, "0.5") that the release is offered to;
// before the first time, none. "#rollout_halted=1" offers it to no new
// client. Both are entries of the signed info file, so no server or mirror
// can widen them.
struct TauRollout {
    struct Stage {
        qint64 From = 0;
        int BasisPoints = 0;  // hundredths of a per cent
    };
    QList<Stage> Stages;
    bool Halted = false;
};

// Clients draw a number from 0 to kRolloutNumbers - 1 once and are in a
// share of b basis points when their number is below b: the same clients
// stay in as the share grows.
inline constexpr int kRolloutNumbers = 10000;

// No schedule: offered to every client. An unreadable schedule (times not
// rising, shares falling or above 100 %) is a schedule offering nothing.
std::optional<TauRollout> ReadRollout(const TauInfoText& Info);

// The share in force at Now, in basis points.
int RolloutShare(const TauRollout& Rollout, qint64 Now);

// Whether a client with that number is offered the release at Now; a client
// without a number only once the share is whole.
bool IsOfferedByRollout(const std::optional<TauRollout>& Rollout, qint64 Now,
                        std::optional<int> ClientNumber);

// This client's number, kept beside the program in
// "<program>.rollout-number" (drawn and written the first time); none when
// it can be neither read nor kept.
std::optional<int> RolloutNumber();

// What update requests say of the client, for the publisher's fleet report:
// "Quorvane/2.0.0.5 (group 37; refused 2.0.0.6)": its version, the rollout
// group (the number's hundreds, 0-99: nothing that tells a person or a
// machine) and a version it undid, each when known.
QByteArray FleetUserAgent(const QByteArray& Version);

}  // namespace upgrader
