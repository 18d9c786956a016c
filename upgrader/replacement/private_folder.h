#pragma once

#include <QString>
#include <optional>

namespace upgrader {

// The replacer is written into a folder of its own in the temporary folder,
// made fresh for each upgrade with a name nobody can take first
// ("quorvane-replacer-XXXXXX", mode 0700). The folder, ending with "/";
// nothing when it cannot be made.
std::optional<QString> CreateReplacerFolder();

// Removes the replacer folders earlier upgrades left in the temporary folder:
// only folders of ours (owned by this user, not links), with what is in them.
void DeleteEarlierReplacerFolders();

}  // namespace upgrader
