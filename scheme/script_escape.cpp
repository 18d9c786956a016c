#include "scheme/script_escape.h"

namespace scheme {

namespace {

bool IsKeptAsIs(char16_t c) {
    return c >= 0x20 && c < 0x7F && c != u'<' && c != u'>' && c != u'&';
}

void AppendUnicodeEscape(QByteArray& out, char16_t c) {
    static const char digits[] = "0123456789ABCDEF";
    out += "\\u";
    for (int shift = 12; shift >= 0; shift -= 4)
        out += digits[(c >> shift) & 0xF];
}

}  // namespace

QByteArray ScriptEscape(const QString& text) {
    QByteArray out;
    out.reserve(text.size() + 8);
    for (const QChar qc : text) {
        const char16_t c = qc.unicode();
        if (c == u'"' || c == u'\\') {
            out += '\\';
            out += static_cast<char>(c);
        } else if (IsKeptAsIs(c)) {
            out += static_cast<char>(c);
        } else {
            AppendUnicodeEscape(out, c);
        }
    }
    return out;
}

QByteArray LinkTarget(const QByteArray& rawName) {
    return rawName.toPercentEncoding();
}

}  // namespace scheme
