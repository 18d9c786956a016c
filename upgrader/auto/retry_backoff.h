#pragma once

#include <QtGlobal>
#include <functional>

namespace upgrader {

// The delays of the automatic check's retries while the update host cannot
// be reached. The first retry comes after the base delay; each further one
// after a random delay between the base and a ceiling that doubles with each
// failure, up to a cap (exponential backoff with full jitter), so that the
// clients of a fleet spread their attempts instead of hammering a server, or
// their name servers, at the moment it comes back.
class TRetryBackoff {
  public:
    // Draws a whole number in [low, high].
    using TRandom = std::function<qint64(qint64 low, qint64 high)>;
    static constexpr qint64 kCapMs = 60 * 60 * 1000;

    explicit TRetryBackoff(TRandom random = UniformRandom) : random_(std::move(random)) {}
    // The delay before the retry after one more failure, in milliseconds.
    qint32 NextDelay(qint32 baseMs);
    // After a fetch that reached the server: the next failure starts over.
    void Reset() { failures_ = 0; }

  private:
    static qint64 UniformRandom(qint64 low, qint64 high);

    TRandom random_;
    int failures_ = 0;
};

}  // namespace upgrader
