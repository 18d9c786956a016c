#include "upgrader/http/proxy_bypass.h"

#include <QByteArrayList>
#include <QRegularExpression>

namespace upgrader {

namespace {

QByteArrayList Entries(const QByteArray& list) {
    QByteArray normalised = list;
    for (char& c : normalised) {
        if (c == ';' || c == ',' || c == '\t' || c == '\r' || c == '\n')
            c = ' ';
    }
    QByteArrayList entries;
    for (const QByteArray& entry : normalised.split(' ')) {
        if (!entry.isEmpty())
            entries += entry;
    }
    return entries;
}

QByteArray WithoutSchemeAndPort(QByteArray entry) {
    if (const qsizetype scheme = entry.indexOf("://"); scheme >= 0)
        entry = entry.mid(scheme + 3);
    if (entry.startsWith('['))  // an IPv6 address keeps its colons
        return entry.mid(1, entry.indexOf(']') - 1);
    if (const qsizetype colon = entry.indexOf(':'); colon >= 0 && entry.count(':') == 1)
        entry.truncate(colon);
    return entry;
}

// "10.*", "10.1.*.*": the leading octets name a network.
QByteArray NetworkOfWildcardAddress(const QByteArray& entry) {
    static const QRegularExpression pattern(
        QStringLiteral(R"(^(\d{1,3}(?:\.\d{1,3}){0,2})(?:\.\*)+$)"));
    const QRegularExpressionMatch match = pattern.match(QString::fromLatin1(entry));
    if (!match.hasMatch() || entry.count('.') > 3)
        return {};
    QByteArrayList octets = match.captured(1).toLatin1().split('.');
    const auto prefix = static_cast<int>(octets.size()) * 8;
    while (octets.size() < 4)
        octets += "0";
    return octets.join('.') + "/" + QByteArray::number(prefix);
}

bool IsLocalName(const QByteArray& host) {
    return !host.isEmpty() && !host.contains('.') && !host.contains(':');
}

QByteArray Converted(const QByteArray& entry, const QByteArray& host) {
    if (entry == "<local>")
        return IsLocalName(host) ? host : QByteArray();
    const QByteArray name = WithoutSchemeAndPort(entry);
    if (name == "*" || !name.contains('*'))
        return name;
    if (name.startsWith("*.") && !name.mid(2).contains('*'))
        return name.mid(1);
    return NetworkOfWildcardAddress(name);
}

}  // namespace

QByteArray NoProxyList(const QByteArray& ProxyBypass, const QByteArray& Host) {
    QByteArrayList converted;
    for (const QByteArray& entry : Entries(ProxyBypass)) {
        const QByteArray name = Converted(entry, Host);
        if (!name.isEmpty() && !converted.contains(name))
            converted += name;
    }
    return converted.join(',');
}

}  // namespace upgrader
