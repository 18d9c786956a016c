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

// Writes the bytes to a new "<Path>.part", syncs it and renames it over Path,
// so that a reader finds the old file or the whole new one. With Locked the
// file is locked (flock, exclusive) before anything is written. Returns the
// open descriptor of the file now at Path, for the caller to close (its lock
// goes with it); -1 on any failure, when nothing is left beside.
int WriteInPlace(const std::string& Path, const std::string& Bytes, bool Locked);

// The folder of the path, ending with "/" ("./" for a bare name).
std::string FolderOf(const std::string& Path);

// Flushes the folder's entries (renames, links, removals) to disk.
void SyncFolder(const std::string& Folder);

}  // namespace replacer
