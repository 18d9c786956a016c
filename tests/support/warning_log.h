#pragma once

#include <QStringList>

namespace test_support {

// The program's warnings (qWarning, from any thread) while it lives; they
// still reach the handler that was there before. One at a time.
class WarningLog {
  public:
    WarningLog();
    ~WarningLog();
    WarningLog(const WarningLog&) = delete;
    WarningLog& operator=(const WarningLog&) = delete;

    QStringList Messages() const;
    void Clear();
};

}  // namespace test_support
