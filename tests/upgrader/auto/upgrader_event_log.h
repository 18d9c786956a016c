#pragma once

#include <QList>
#include <QStringList>

#include "upgrader/auto/auto_upgrader.h"

namespace upgrader_test {

// Records every event of an upgrader as one line ("LostFile 404 c.bin").
// The restart that follows OnEndUpgrade would start the replacer for the
// test program itself, so OnEndUpgrade always refuses it here.
class UpgraderEventLog {
  public:
    void Attach(upgrader::TauAutoUpgrader& Upgrader);

    QStringList events;
    // Total percentages of OnProgress, in order.
    QList<int> totals;
    // Answers of the handlers.
    bool canUpgrade = true;
    bool continueUpgrade = false;

    int Count(const QString& prefix) const;
};

}  // namespace upgrader_test
