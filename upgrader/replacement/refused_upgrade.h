#pragma once

#include <QByteArray>
#include <optional>

namespace upgrader {

// The record the replacer leaves beside the program when an upgrade's new
// program did not come up and the old one was put back (its format is in
// upgrader/replacer/replacer_files.h).
struct TauRefusedUpgrade {
    QByteArray Version;
    bool Told = false;  // the user has been told
};

// The record beside the running program, if any.
std::optional<TauRefusedUpgrade> ReadRefusedUpgrade();
// Notes in the record that the user has been told.
void MarkRefusedUpgradeTold();
// Removes the record: a newer version than the refused one is published.
void ClearRefusedUpgrade();

}  // namespace upgrader
