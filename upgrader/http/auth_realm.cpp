#include "upgrader/http/auth_realm.h"

namespace upgrader {

namespace {

// The text of a quoted string starting at `from` (after its opening quote),
// with backslash escapes resolved; runs to the end when it is not closed.
QByteArray QuotedText(const QByteArray& text, qsizetype from) {
    QByteArray value;
    for (qsizetype at = from; at < text.size(); ++at) {
        if (text[at] == '"')
            break;
        if (text[at] == '\\' && at + 1 < text.size())
            ++at;
        value += text[at];
    }
    return value;
}

qsizetype RealmQuoteStart(const QByteArray& challenge) {
    const QByteArray lower = challenge.toLower();
    for (qsizetype at = lower.indexOf("realm=\""); at >= 0;
         at = lower.indexOf("realm=\"", at + 1)) {
        const bool wholeName = at == 0 || lower[at - 1] == ' ' || lower[at - 1] == ',';
        if (wholeName)
            return at + 7;
    }
    const qsizetype firstQuoted = challenge.indexOf("=\"");
    return firstQuoted < 0 ? -1 : firstQuoted + 2;
}

}  // namespace

QByteArray RealmOfChallenge(const QByteArray& Challenge) {
    const qsizetype start = RealmQuoteStart(Challenge);
    return start < 0 ? Challenge : QuotedText(Challenge, start);
}

}  // namespace upgrader
