#pragma once

#include <QByteArray>
#include <QString>

// The shell's files and the info file's texts are GBK (code page 936). They are
// read and written as GB18030, which is byte-identical to GBK for every GBK
// character and can still represent every other character.
namespace common {

QString FromGbk(const QByteArray& bytes);
QByteArray ToGbk(const QString& text);

}  // namespace common
