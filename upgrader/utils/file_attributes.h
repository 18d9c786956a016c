#pragma once

#include <QFlags>
#include <QString>

namespace upgrader {

// File attributes, with the values of Windows's attribute bits.
enum TauFileAttribute {
    atrReadOnly = 0x1,
    atrHidden = 0x2,
    atrSystem = 0x4,
    atrArchive = 0x20,
    atrTemporary = 0x100,
    atrOffline = 0x1000,
};
Q_DECLARE_FLAGS(TauFileAttributes, TauFileAttribute)
Q_DECLARE_OPERATORS_FOR_FLAGS(TauFileAttributes)

// Gives the file exactly the attributes of the set. Only read-only has a
// meaning here: with it the file loses its write permission bits, without it
// the owner may write. Hidden, system, archive, temporary and offline have no
// Linux counterpart and change nothing. False when the file does not exist
// or its permissions cannot be changed.
bool SetFileAttributesFromSet(const QString& FileName, TauFileAttributes Attributes);

// The attributes the file has: read-only without any write permission bit,
// hidden when its name starts with ".", system when it is neither a regular
// file nor a folder. False when the file does not exist.
bool GetFileAttributesAsSet(const QString& FileName, TauFileAttributes& Attributes);

}  // namespace upgrader
