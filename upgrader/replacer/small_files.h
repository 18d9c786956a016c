#pragma once

#include <optional>
#include <string>

namespace replacer {

// The replacer's own small files (its list, the journal, the records) are
// read whole up to this size; anything larger is not one of them.
inline constexpr size_t kMostSmallFileBytes = 1024 * 1024;

// Writes all of Size bytes; false on any error.
bool WriteAll(int Descriptor, const char* Data, size_t Size);

// The rest of the open file, at most kMostSmallFileBytes; nothing when it
// cannot be read whole.
std::optional<std::string> ReadAll(int Descriptor);

// The file's bytes, read without following a link; nothing when it cannot be
// read whole (Missing says whether it is not there at all).
std::optional<std::string> ReadSmallFile(const std::string& Path, bool& Missing);

// The folder of the path, ending with "/" ("./" for a bare name).
std::string FolderOf(const std::string& Path);

// Flushes the folder's entries (renames, links, removals) to disk.
void SyncFolder(const std::string& Folder);

}  // namespace replacer
