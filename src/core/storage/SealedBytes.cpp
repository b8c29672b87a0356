#include "core/storage/SealedBytes.h"

#include "core/storage/DiaryError.h"
#include "core/storage/DiaryKey.h"
#include "core/storage/Sodium.h"

#include <sodium.h>

#include <optional>

namespace {

constexpr char Version = 1;
constexpr QByteArrayView Magic("TQSL");
constexpr qsizetype HeaderBytes = 5;
constexpr qsizetype NonceBytes = crypto_aead_xchacha20poly1305_ietf_NPUBBYTES;
constexpr qsizetype TagBytes = crypto_aead_xchacha20poly1305_ietf_ABYTES;
// Eight base64 characters are six whole bytes: the magic and the version.
constexpr qsizetype TextHeaderChars = 8;

QByteArray associatedData(QByteArrayView header, const DiaryKey& key, QByteArrayView context)
{
    return header.toByteArray() + key.diaryId() + context.toByteArray();
}

} // namespace

bool SealedBytes::isSealed(QByteArrayView bytes)
{
    return bytes.startsWith(Magic);
}

QByteArray SealedBytes::seal(const DiaryKey& key, QByteArrayView plain, QByteArrayView context)
{
    Sodium::ready();
    QByteArray sealed(HeaderBytes + NonceBytes + plain.size() + TagBytes, Qt::Uninitialized);
    auto* out = reinterpret_cast<unsigned char*>(sealed.data());
    memcpy(out, Magic.data(), size_t(Magic.size()));
    out[Magic.size()] = Version;
    unsigned char* nonce = out + HeaderBytes;
    randombytes_buf(nonce, NonceBytes);
    const QByteArray ad = associatedData(sealed.first(HeaderBytes), key, context);
    crypto_aead_xchacha20poly1305_ietf_encrypt(
        nonce + NonceBytes, nullptr, reinterpret_cast<const unsigned char*>(plain.data()),
        size_t(plain.size()), reinterpret_cast<const unsigned char*>(ad.data()), size_t(ad.size()),
        nullptr, nonce, key.key().data());
    return sealed;
}

namespace {

// The plain bytes when they open with this key itself; the caller checked the form.
std::optional<QByteArray> openedWith(const DiaryKey& key, QByteArrayView sealed,
                                     QByteArrayView context)
{
    const auto* in = reinterpret_cast<const unsigned char*>(sealed.data());
    const unsigned char* nonce = in + HeaderBytes;
    const qsizetype cipherBytes = sealed.size() - HeaderBytes - NonceBytes;
    QByteArray plain(cipherBytes - TagBytes, Qt::Uninitialized);
    const QByteArray ad = associatedData(sealed.first(HeaderBytes), key, context);
    if (crypto_aead_xchacha20poly1305_ietf_decrypt(
            reinterpret_cast<unsigned char*>(plain.data()), nullptr, nullptr, nonce + NonceBytes,
            size_t(cipherBytes), reinterpret_cast<const unsigned char*>(ad.data()),
            size_t(ad.size()), nonce, key.key().data()) != 0)
        return std::nullopt;
    return plain;
}

bool wellFormed(QByteArrayView sealed)
{
    return SealedBytes::isSealed(sealed) && sealed.size() >= HeaderBytes + NonceBytes + TagBytes &&
           sealed[Magic.size()] == Version;
}

std::optional<QByteArray> decodedText(QByteArrayView value)
{
    // Strict: padding required, no stray characters, no bits left over.
    QByteArray sealed(value.size() / 4 * 3, Qt::Uninitialized);
    size_t length = 0;
    if (sodium_base642bin(reinterpret_cast<unsigned char*>(sealed.data()), size_t(sealed.size()),
                          value.data(), size_t(value.size()), nullptr, &length, nullptr,
                          sodium_base64_VARIANT_ORIGINAL) != 0)
        return std::nullopt;
    sealed.truncate(qsizetype(length));
    return sealed;
}

} // namespace

QByteArray SealedBytes::open(const DiaryKey& key, QByteArrayView sealed, QByteArrayView context,
                             const QString& path)
{
    Sodium::ready();
    if (!isSealed(sealed))
        throw DiaryError::cannotUnseal(path, QStringLiteral("暗号化されたﾌｧｲﾙではありません。"));
    if (sealed.size() < HeaderBytes + NonceBytes + TagBytes)
        throw DiaryError::cannotUnseal(path,
                                       QStringLiteral("暗号化されたﾌｧｲﾙが途中で切れています。"));
    if (sealed[Magic.size()] != Version)
        throw DiaryError::cannotUnseal(
            path, QStringLiteral("このﾌﾟﾛｸﾞﾗﾑの知らない暗号化の形式 (版 %1) です。")
                      .arg(quint8(sealed[Magic.size()])));
    for (const DiaryKey* tried = &key; tried; tried = tried->previous()) {
        if (std::optional<QByteArray> plain = openedWith(*tried, sealed, context))
            return *plain;
    }
    throw DiaryError::cannotUnseal(
        path, QStringLiteral("鍵が違うか、ﾌｧｲﾙが壊れているか、別の日付か別の日記のﾌｧｲﾙです。"));
}

bool SealedBytes::opensWithCurrent(const DiaryKey& key, QByteArrayView sealed,
                                   QByteArrayView context)
{
    Sodium::ready();
    return wellFormed(sealed) && openedWith(key, sealed, context).has_value();
}

bool SealedBytes::textOpensWithCurrent(const DiaryKey& key, QByteArrayView value,
                                       QByteArrayView context)
{
    Sodium::ready();
    const std::optional<QByteArray> sealed = decodedText(value);
    return sealed && opensWithCurrent(key, *sealed, context);
}

QByteArray SealedBytes::sealText(const DiaryKey& key, QByteArrayView plain, QByteArrayView context)
{
    return seal(key, plain, context).toBase64();
}

bool SealedBytes::isSealedText(QByteArrayView value)
{
    if (value.size() < TextHeaderChars)
        return false;
    const auto header = QByteArray::fromBase64Encoding(value.first(TextHeaderChars).toByteArray(),
                                                       QByteArray::AbortOnBase64DecodingErrors);
    return header && isSealed(*header);
}

QByteArray SealedBytes::openText(const DiaryKey& key, QByteArrayView value, QByteArrayView context,
                                 const QString& path)
{
    Sodium::ready();
    const std::optional<QByteArray> sealed = decodedText(value);
    if (!sealed)
        throw DiaryError::cannotUnseal(path, QStringLiteral("暗号化された値が壊れています。"));
    return open(key, *sealed, context, path);
}
