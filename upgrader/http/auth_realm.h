#pragma once

#include <QByteArray>

namespace upgrader {

// The realm of an authentication challenge (a WWW-Authenticate value):
// 'Basic realm="Updates"' gives "Updates". The quoted value of the realm
// parameter is taken (of the first quoted parameter when none is called
// realm), up to its closing quote, so the parameters after it (a digest
// challenge's nonce, a charset) stay out; a value without any quoted
// parameter is the realm as a whole.
QByteArray RealmOfChallenge(const QByteArray& Challenge);

}  // namespace upgrader
