#pragma once
// The framework's keyed text transform. It turns a text and a key into one
// line of text: the same text and key always give the same result, and any
// change of either gives (with overwhelming likelihood) another one. The
// catalogue certificate is made and checked with it.
#include <QChar>
#include <QString>

// Writes into `result` `length` characters, each between `first` and `last`
// (either order; both inclusive), drawn from an HMAC-SHA256 of the text's
// UTF-8 bytes under the key's UTF-8 bytes. Lengths above 32 extend the
// digest by chaining further HMAC blocks. A length below 1 or a range that
// is not made of printable characters is a programming error (assertion).
void Krypto(const QString &text, const QString &key, int length, QString &result, QChar last, QChar first);
