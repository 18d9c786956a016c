#pragma once

// Readable failure messages for Qt values in GoogleTest assertions.
#include <QByteArray>
#include <QString>
#include <QStringList>
#include <ostream>

QT_BEGIN_NAMESPACE
inline void PrintTo(const QString& value, std::ostream* os) {
    *os << '"' << value.toStdString() << '"';
}
inline void PrintTo(const QByteArray& value, std::ostream* os) {
    *os << '"' << value.toStdString() << '"';
}
QT_END_NAMESPACE
