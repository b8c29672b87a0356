#include "core/storage/DiaryKey.h"

#include "core/storage/DiaryError.h"

#include <sodium.h>

static_assert(DiaryKey::KeyBytes == crypto_aead_xchacha20poly1305_ietf_KEYBYTES);

DiaryKey DiaryKey::generate()
{
    SecretBytes key = SecretBytes::random(KeyBytes);
    QByteArray id(IdBytes, Qt::Uninitialized);
    randombytes_buf(id.data(), size_t(id.size()));
    return DiaryKey(std::move(key), id);
}

DiaryKey::DiaryKey(SecretBytes key, QByteArray diaryId)
    : m_key(std::move(key)), m_diaryId(std::move(diaryId))
{
    if (m_key.size() != KeyBytes || m_diaryId.size() != IdBytes)
        throw DiaryError(QStringLiteral("日記の鍵の大きさが違います。"));
}
