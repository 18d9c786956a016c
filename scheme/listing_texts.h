#pragma once

#include <QLocale>
#include <QString>
#include <limits>

namespace scheme {

// A modification time that could not be read.
inline constexpr qint64 kUnknownTime = std::numeric_limits<qint64>::min();
// The size of an entry that could not be looked at.
inline constexpr qint64 kUnknownSize = -1;

// A file size for the listing: "1023 B", "1.0 kB", "3.0 GB", ... up to "PB"
// (1 k = 1,024), and "big" from 2^60 bytes on; empty for kUnknownSize.
QString SizeText(qint64 size);

// Modification times for the listing: local time, as the locale's short date,
// a space and the locale's long time without its time zone (a listing of
// local files shows local time only); the time is left out when it is exactly
// midnight. Empty for kUnknownTime.
class TDateText {
  public:
    explicit TDateText(const QLocale& locale = QLocale::system());
    QString operator()(qint64 msecsSinceEpoch) const;

  private:
    QLocale locale_;
    QString dateFormat_;
    QString timeFormat_;
};

}  // namespace scheme
