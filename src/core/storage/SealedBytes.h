#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

class DiaryKey;

// The sealed form of one file or one value: the magic "TQSL", a version byte (1), a random
// 24-byte nonce, then XChaCha20-Poly1305 of the plain bytes. The associated data is the magic and
// version, the diary id and a context naming what the bytes are and where they belong ("day
// 20240315", "title 20240315"): a file renamed to another date, a title moved to another key or a
// file from another diary does not open.
class SealedBytes
{
public:
    // Whether the bytes begin with the magic (any version): how every reader tells a sealed file
    // from a plain one, so a half-converted diary reads whole.
    static bool isSealed(QByteArrayView bytes);
    static QByteArray seal(const DiaryKey& key, QByteArrayView plain, QByteArrayView context);
    // Throws DiaryError::cannotUnseal naming the path on a short file, an unknown version or
    // bytes that do not open with this key and context; never returns unauthenticated bytes.
    // While the diary is keyed anew, what the previous key sealed opens too.
    static QByteArray open(const DiaryKey& key, QByteArrayView sealed, QByteArrayView context,
                           const QString& path);

    // Whether the bytes open with the key itself, not its previous one: sealed again already.
    static bool opensWithCurrent(const DiaryKey& key, QByteArrayView sealed,
                                 QByteArrayView context);

    // The same as text an INI value holds (base64 of the sealed bytes), for titles.
    static QByteArray sealText(const DiaryKey& key, QByteArrayView plain, QByteArrayView context);
    static bool isSealedText(QByteArrayView value);
    static QByteArray openText(const DiaryKey& key, QByteArrayView value, QByteArrayView context,
                               const QString& path);
    static bool textOpensWithCurrent(const DiaryKey& key, QByteArrayView value,
                                     QByteArrayView context);
};
