#include "Krypto.h"

#include "Exceptions.h"

#include <QCryptographicHash>
#include <QMessageAuthenticationCode>

#include <algorithm>

void Krypto(const QString &text, const QString &key, int length, QString &result, QChar last, QChar first)
{
    ZEP_ASSERT(length > 0, QStringLiteral("Krypto: lunghezza non valida (%1)").arg(length));
    const char16_t lo = std::min(first.unicode(), last.unicode());
    const char16_t hi = std::max(first.unicode(), last.unicode());
    ZEP_ASSERT(lo > 0x20 && hi < 0x7F, QStringLiteral("Krypto: intervallo di caratteri non valido"));
    const int span = hi - lo + 1;

    const QByteArray keyBytes = key.toUtf8();
    const QByteArray textBytes = text.toUtf8();

    // Block 0 is the HMAC of the text; block n the HMAC of block n-1 with
    // the text, so every block depends on the whole text and the key.
    QByteArray stream;
    QByteArray block;
    while (stream.size() < length) {
        QMessageAuthenticationCode mac(QCryptographicHash::Sha256, keyBytes);
        mac.addData(block);
        mac.addData(textBytes);
        block = mac.result();
        stream += block;
    }

    QString out;
    out.reserve(length);
    for (int i = 0; i < length; ++i)
        out += QChar(char16_t(lo + quint8(stream.at(i)) % span));
    result = out;
}
