#include "core/storage/KeyFile.h"

#include "core/storage/DiaryError.h"
#include "core/storage/DiaryKey.h"
#include "core/storage/RecoveryCode.h"
#include "core/storage/SecretBytes.h"
#include "core/storage/Sodium.h"

#include <QtEndian>
#include <sodium.h>

namespace {

constexpr QByteArrayView Magic("TQKY");
constexpr char Version = 1;
constexpr quint8 TurningOffFlag = 1;
constexpr qsizetype SlotIdBytes = 16;
constexpr qsizetype SaltBytes = crypto_pwhash_SALTBYTES;
constexpr qsizetype NonceBytes = crypto_aead_xchacha20poly1305_ietf_NPUBBYTES;
constexpr qsizetype WrappedBytes = DiaryKey::KeyBytes + crypto_aead_xchacha20poly1305_ietf_ABYTES;
constexpr qsizetype TagBytes = crypto_generichash_BYTES;
// Beyond what conflict folding can gather, and small enough that a stranger's file cannot keep
// an unlock busy for long.
constexpr int MaxSlots = 32;

const auto* bytesOf(const QByteArray& bytes)
{
    return reinterpret_cast<const unsigned char*>(bytes.constData());
}

QByteArray randomBytes(qsizetype size)
{
    QByteArray bytes(size, Qt::Uninitialized);
    randombytes_buf(bytes.data(), size_t(size));
    return bytes;
}

void appendU64(QByteArray& bytes, quint64 value)
{
    char le[8];
    qToLittleEndian(value, le);
    bytes.append(le, 8);
}

// The UTF-8 of a secret, only ever in locked memory once made.
SecretBytes secretOf(const QString& text)
{
    QByteArray utf8 = text.toUtf8();
    SecretBytes secret = SecretBytes::copyOf(utf8);
    sodium_memzero(utf8.data(), size_t(utf8.size()));
    return secret;
}

SecretBytes derived(const SecretBytes& secret, const QByteArray& salt, KdfLimits limits)
{
    SecretBytes out(DiaryKey::KeyBytes);
    if (crypto_pwhash(out.data(), size_t(out.size()), reinterpret_cast<const char*>(secret.data()),
                      size_t(secret.size()), bytesOf(salt), limits.ops, size_t(limits.memBytes),
                      crypto_pwhash_ALG_ARGON2ID13) != 0)
        throw DiaryError(QStringLiteral("ﾊﾟｽﾌﾚｰｽﾞから鍵を導くﾒﾓﾘが足りません (%1 MB)。")
                             .arg(limits.memBytes >> 20));
    return out;
}

// The header's tag is made under a key of its own, derived from the master key.
QByteArray tagOf(const QByteArray& header, const DiaryKey& key)
{
    SecretBytes tagKey(crypto_generichash_KEYBYTES);
    crypto_kdf_derive_from_key(tagKey.data(), size_t(tagKey.size()), 1, "TQKYhead",
                               key.key().data());
    QByteArray tag(TagBytes, Qt::Uninitialized);
    crypto_generichash(reinterpret_cast<unsigned char*>(tag.data()), size_t(tag.size()),
                       bytesOf(header), size_t(header.size()), tagKey.data(),
                       size_t(tagKey.size()));
    return tag;
}

// Reads the key file's fields in order; a field the bytes end before is a refusal.
class Reader
{
public:
    Reader(QByteArrayView bytes, const QString& path) : m_bytes(bytes), m_path(path) {}

    QByteArray take(qsizetype size)
    {
        if (m_bytes.size() - m_at < size)
            throw refusal(QStringLiteral("鍵ﾌｧｲﾙが途中で切れています。"));
        const QByteArrayView field = m_bytes.sliced(m_at, size);
        m_at += size;
        return field.toByteArray();
    }
    quint8 byte() { return quint8(take(1)[0]); }
    quint64 u64() { return qFromLittleEndian<quint64>(take(8).constData()); }
    bool atEnd() const { return m_at == m_bytes.size(); }
    DiaryError refusal(const QString& why) const { return DiaryError::cannotUnseal(m_path, why); }

private:
    QByteArrayView m_bytes;
    const QString& m_path;
    qsizetype m_at = 0;
};

} // namespace

QByteArray KeyFile::Slot::prefix() const
{
    QByteArray bytes;
    bytes += char(kind);
    bytes += id + salt;
    appendU64(bytes, limits.ops);
    appendU64(bytes, limits.memBytes);
    return bytes + nonce;
}

KeyFile KeyFile::create(const DiaryKey& key, const QString& passphrase, const QString& recoveryCode)
{
    KeyFile file;
    file.m_diaryId = key.diaryId();
    file.setPassphrase(key, passphrase);
    file.setRecoveryCode(key, recoveryCode);
    return file;
}

KeyFile KeyFile::parse(QByteArrayView bytes, const QString& path)
{
    Sodium::ready();
    Reader in(bytes, path);
    if (!bytes.startsWith(Magic))
        throw in.refusal(QStringLiteral("日記の鍵ﾌｧｲﾙではありません。"));
    in.take(Magic.size());
    const quint8 version = in.byte();
    if (version != Version)
        throw in.refusal(
            QStringLiteral("このﾌﾟﾛｸﾞﾗﾑの知らない鍵ﾌｧｲﾙの形式 (版 %1) です。").arg(version));
    const quint8 flags = in.byte();
    if (flags & ~TurningOffFlag)
        throw in.refusal(QStringLiteral("鍵ﾌｧｲﾙにこのﾌﾟﾛｸﾞﾗﾑの知らない印があります。"));

    KeyFile file;
    file.m_path = path;
    file.m_turningOff = flags & TurningOffFlag;
    file.m_counter = in.u64();
    file.m_diaryId = in.take(DiaryKey::IdBytes);
    file.m_tag = in.take(TagBytes);
    const int count = in.byte();
    if (count == 0 || count > MaxSlots)
        throw in.refusal(QStringLiteral("鍵ﾌｧｲﾙの鍵の数 (%1) がおかしいです。").arg(count));
    for (int i = 0; i < count; ++i) {
        Slot slot;
        slot.kind = SlotKind(in.byte());
        if (slot.kind != SlotKind::Passphrase && slot.kind != SlotKind::RecoveryCode)
            throw in.refusal(QStringLiteral("鍵ﾌｧｲﾙに知らない種類の鍵があります。"));
        slot.id = in.take(SlotIdBytes);
        slot.salt = in.take(SaltBytes);
        slot.limits.ops = in.u64();
        slot.limits.memBytes = in.u64();
        if (!slot.limits.bounded())
            throw in.refusal(
                QStringLiteral("鍵ﾌｧｲﾙの求める計算 (%1 回、%2 MB) が大きすぎるか小さすぎます。")
                    .arg(slot.limits.ops)
                    .arg(slot.limits.memBytes >> 20));
        slot.nonce = in.take(NonceBytes);
        slot.wrapped = in.take(WrappedBytes);
        file.m_slots << slot;
    }
    if (!in.atEnd())
        throw in.refusal(QStringLiteral("鍵ﾌｧｲﾙの終わりに余分なﾊﾞｲﾄがあります。"));
    return file;
}

QByteArray KeyFile::header() const
{
    QByteArray bytes = Magic.toByteArray() + Version + char(m_turningOff ? TurningOffFlag : 0);
    appendU64(bytes, m_counter);
    return bytes + m_diaryId;
}

QByteArray KeyFile::bytes() const
{
    QByteArray bytes = header() + m_tag + char(m_slots.size());
    for (const Slot& slot : m_slots)
        bytes += slot.prefix() + slot.wrapped;
    return bytes;
}

std::optional<DiaryKey> KeyFile::unlock(const QString& secret) const
{
    const std::optional<QString> code = RecoveryCode::normalised(secret);
    const SlotKind kind = code ? SlotKind::RecoveryCode : SlotKind::Passphrase;
    const SecretBytes typed =
        secretOf(code ? *code : secret.normalized(QString::NormalizationForm_C));
    for (const Slot& slot : m_slots) {
        if (slot.kind != kind)
            continue;
        std::optional<DiaryKey> key = unwrap(slot, typed);
        if (!key)
            continue;
        const QByteArray tag = tagOf(header(), *key);
        if (m_tag.size() != tag.size() ||
            sodium_memcmp(tag.constData(), m_tag.constData(), size_t(tag.size())) != 0)
            throw DiaryError::cannotUnseal(
                m_path, QStringLiteral("鍵ﾌｧｲﾙの見出しが鍵を持たない誰かに書き換えられています。"
                                       "日記はそのままです。"));
        return key;
    }
    return std::nullopt;
}

std::optional<DiaryKey> KeyFile::unwrap(const Slot& slot, const SecretBytes& secret) const
{
    const SecretBytes wrappingKey = derived(secret, slot.salt, slot.limits);
    SecretBytes master(DiaryKey::KeyBytes);
    const QByteArray ad = slot.prefix() + m_diaryId;
    if (crypto_aead_xchacha20poly1305_ietf_decrypt(
            master.data(), nullptr, nullptr, bytesOf(slot.wrapped), size_t(slot.wrapped.size()),
            bytesOf(ad), size_t(ad.size()), bytesOf(slot.nonce), wrappingKey.data()) != 0)
        return std::nullopt;
    return DiaryKey(std::move(master), m_diaryId);
}

void KeyFile::setPassphrase(const DiaryKey& key, const QString& passphrase)
{
    const QString nfc = passphrase.normalized(QString::NormalizationForm_C);
    // unlock() would take it for a code and never try it as a passphrase.
    if (RecoveryCode::normalised(nfc))
        throw DiaryError(
            QStringLiteral("このﾊﾟｽﾌﾚｰｽﾞは回復ｺｰﾄﾞと同じ形です。ほかのﾊﾟｽﾌﾚｰｽﾞにしてください。"));
    replaceSlots(key, SlotKind::Passphrase, secretOf(nfc));
}

void KeyFile::setRecoveryCode(const DiaryKey& key, const QString& code)
{
    const std::optional<QString> normalised = RecoveryCode::normalised(code);
    if (!normalised)
        throw DiaryError(QStringLiteral("回復ｺｰﾄﾞの形ではありません。"));
    replaceSlots(key, SlotKind::RecoveryCode, secretOf(*normalised));
}

void KeyFile::setTurningOff(const DiaryKey& key, bool on)
{
    checkKey(key);
    m_turningOff = on;
    written(key);
}

void KeyFile::checkKey(const DiaryKey& key) const
{
    if (key.diaryId() != m_diaryId)
        throw DiaryError(QStringLiteral("別の日記の鍵です。"));
}

void KeyFile::replaceSlots(const DiaryKey& key, SlotKind kind, const SecretBytes& secret)
{
    checkKey(key);
    Slot slot{kind,
              randomBytes(SlotIdBytes),
              randomBytes(SaltBytes),
              KdfLimits::forNewSlots(),
              randomBytes(NonceBytes),
              QByteArray(WrappedBytes, Qt::Uninitialized)};
    const SecretBytes wrappingKey = derived(secret, slot.salt, slot.limits);
    const QByteArray ad = slot.prefix() + m_diaryId;
    crypto_aead_xchacha20poly1305_ietf_encrypt(
        reinterpret_cast<unsigned char*>(slot.wrapped.data()), nullptr, key.key().data(),
        size_t(key.key().size()), bytesOf(ad), size_t(ad.size()), nullptr, bytesOf(slot.nonce),
        wrappingKey.data());
    m_slots.removeIf([kind](const Slot& old) { return old.kind == kind; });
    m_slots << slot;
    written(key);
}

void KeyFile::written(const DiaryKey& key)
{
    ++m_counter;
    m_tag = tagOf(header(), key);
}

KeyFile KeyFile::merged(const KeyFile& a, const KeyFile& b, const QString& path)
{
    if (a.m_diaryId != b.m_diaryId)
        throw DiaryError::cannotUnseal(path,
                                       QStringLiteral("ふたつの鍵ﾌｧｲﾙは別々の日記のものです。"));
    const bool aNewer =
        a.m_counter != b.m_counter ? a.m_counter > b.m_counter : a.bytes() >= b.bytes();
    KeyFile result = aNewer ? a : b;
    const KeyFile& other = aNewer ? b : a;
    result.m_path = path;
    for (const Slot& slot : other.m_slots) {
        const bool held = std::any_of(result.m_slots.cbegin(), result.m_slots.cend(),
                                      [&slot](const Slot& own) { return own.id == slot.id; });
        if (!held)
            result.m_slots << slot;
    }
    if (result.m_slots.size() > MaxSlots)
        throw DiaryError::cannotUnseal(
            path, QStringLiteral("ふたつの鍵ﾌｧｲﾙを合わせると鍵が多すぎます。"));
    return result;
}
