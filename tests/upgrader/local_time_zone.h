#pragma once

#include <QByteArray>
#include <QtGlobal>
#include <ctime>

namespace upgrader_tests {

// Puts the process in a fixed local time zone for the time of a test and
// restores the previous one afterwards.
class LocalTimeZone {
  public:
    explicit LocalTimeZone(const char* posixZone)
        : hadZone_(qEnvironmentVariableIsSet("TZ")), previous_(qgetenv("TZ")) {
        qputenv("TZ", posixZone);
        tzset();
    }
    ~LocalTimeZone() {
        if (hadZone_)
            qputenv("TZ", previous_);
        else
            qunsetenv("TZ");
        tzset();
    }
    LocalTimeZone(const LocalTimeZone&) = delete;
    LocalTimeZone& operator=(const LocalTimeZone&) = delete;

  private:
    bool hadZone_;
    QByteArray previous_;
};

// Central European time: +1 h in winter, +2 h in summer.
inline constexpr const char* kCentralEurope = "CET-1CEST,M3.5.0,M10.5.0/3";

}  // namespace upgrader_tests
