#include "core/storage/KeyFile.h"

#include "core/storage/DiaryError.h"
#include "core/storage/DiaryKey.h"
#include "core/storage/RecoveryCode.h"
#include "core/storage/SecretBytes.h"
#include "core/storage/Sodium.h"

#include <QtEndian>

#include <algorithm>
#include <sodium.h>

namespace {

constexpr QByteArrayView Magic("TQKY");
constexpr char Version = 2;
constexpr char OldVersion = 1;
constexpr qsizetype SlotIdBytes = 16;
constexpr qsizetype SaltBytes = crypto_pwhash_SALTBYTES;
constexpr qsizetype NonceBytes = crypto_aead_xchacha20poly1305_ietf_NPUBBYTES;
constexpr qsizetype WrappedBytes = DiaryKey::KeyBytes + crypto_aead_xchacha20poly1305_ietf_ABYTES;
constexpr qsizetype TagBytes = crypto_generichash_BYTES;
// Beyond what conflict folding can gather, and small enough that a stranger's file cannot keep
// an unlock busy for long.
constexpr int MaxSlots = 32;
// A passphrase changed every day for years.
constexpr int MaxRevoked = 8192;

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

// The tag is made under a key of its own, derived from the master key; the file's form has a
// subkey of its own, so a version 1 header tag is never taken for a whole file's.
QByteArray tagOf(const QByteArray& bytes, const DiaryKey& key, quint64 subkey)
{
    SecretBytes tagKey(crypto_generichash_KEYBYTES);
    crypto_kdf_derive_from_key(tagKey.data(), size_t(tagKey.size()), subkey, "TQKYhead",
                               key.key().data());
    QByteArray tag(TagBytes, Qt::Uninitialized);
    crypto_generichash(reinterpret_cast<unsigned char*>(tag.data()), size_t(tag.size()),
                       bytesOf(bytes), size_t(bytes.size()), tagKey.data(), size_t(tagKey.size()));
    return tag;
}

bool sameTag(const QByteArray& a, const QByteArray& b)
{
    return a.size() == b.size() &&
           sodium_memcmp(a.constData(), b.constData(), size_t(a.size())) == 0;
}

// What the previous master key is wrapped with: both diaries' ids.
QByteArray previousAd(const QByteArray& diaryId, const QByteArray& previousId)
{
    return QByteArrayLiteral("TQKYprev") + diaryId + previousId;
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
    quint16 u16() { return qFromLittleEndian<quint16>(take(2).constData()); }
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
    KeyFile file;
    file.m_path = path;
    file.m_version = in.byte();
    if (file.m_version != Version && file.m_version != OldVersion)
        throw in.refusal(
            QStringLiteral("このﾌﾟﾛｸﾞﾗﾑの知らない鍵ﾌｧｲﾙの形式 (版 %1) です。").arg(file.m_version));
    file.m_flags = in.byte();
    const quint8 known = file.m_version == OldVersion
                             ? TurningOffFlag
                             : quint8(TurningOffFlag | TurningOnFlag | RekeyingFlag);
    if (file.m_flags & ~known)
        throw in.refusal(QStringLiteral("鍵ﾌｧｲﾙにこのﾌﾟﾛｸﾞﾗﾑの知らない印があります。"));
    file.m_counter = in.u64();
    file.m_diaryId = in.take(DiaryKey::IdBytes);
    if (file.m_version == OldVersion)
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
        // Before any derivation: a stranger's limits must not make us allocate or spin.
        if (!slot.limits.bounded())
            throw in.refusal(
                QStringLiteral("鍵ﾌｧｲﾙの求める計算 (%1 回、%2 MB) が大きすぎるか小さすぎます。")
                    .arg(slot.limits.ops)
                    .arg(slot.limits.memBytes >> 20));
        slot.nonce = in.take(NonceBytes);
        slot.wrapped = in.take(WrappedBytes);
        file.m_slots << slot;
    }
    if (file.m_version == Version) {
        const int revoked = in.u16();
        if (revoked > MaxRevoked)
            throw in.refusal(
                QStringLiteral("鍵ﾌｧｲﾙの取り消した鍵の数 (%1) がおかしいです。").arg(revoked));
        for (int i = 0; i < revoked; ++i)
            file.m_revoked << in.take(SlotIdBytes);
        if (file.rekeying()) {
            file.m_previousId = in.take(DiaryKey::IdBytes);
            file.m_previousNonce = in.take(NonceBytes);
            file.m_previousWrapped = in.take(WrappedBytes);
        }
        file.m_tag = in.take(TagBytes);
    }
    if (!in.atEnd())
        throw in.refusal(QStringLiteral("鍵ﾌｧｲﾙの終わりに余分なﾊﾞｲﾄがあります。"));
    return file;
}

// Version 2: every byte before the tag. Version 1: its header.
QByteArray KeyFile::signedBytes() const
{
    QByteArray bytes = Magic.toByteArray() + char(m_version) + char(m_flags);
    appendU64(bytes, m_counter);
    bytes += m_diaryId;
    if (m_version == OldVersion)
        return bytes;
    bytes += char(m_slots.size());
    for (const Slot& slot : m_slots)
        bytes += slot.prefix() + slot.wrapped;
    char count[2];
    qToLittleEndian(quint16(m_revoked.size()), count);
    bytes.append(count, 2);
    for (const QByteArray& id : m_revoked)
        bytes += id;
    if (rekeying())
        bytes += m_previousId + m_previousNonce + m_previousWrapped;
    return bytes;
}

QByteArray KeyFile::bytes() const
{
    if (m_version == Version)
        return signedBytes() + m_tag;
    QByteArray bytes = signedBytes() + m_tag + char(m_slots.size());
    for (const Slot& slot : m_slots)
        bytes += slot.prefix() + slot.wrapped;
    return bytes;
}

bool KeyFile::verifies(const DiaryKey& key) const
{
    return key.diaryId() == m_diaryId && sameTag(m_tag, tagOf(signedBytes(), key, m_version));
}

std::optional<DiaryKey> KeyFile::unlock(const QString& secret) const
{
    KdfBudget budget;
    return unlock(secret, budget);
}

std::optional<DiaryKey> KeyFile::unlock(const QString& secret, KdfBudget& budget,
                                        QByteArray* openedSlot) const
{
    const std::optional<QString> code = RecoveryCode::normalised(secret);
    const SlotKind kind = code ? SlotKind::RecoveryCode : SlotKind::Passphrase;
    QList<const Slot*> tried;
    quint64 cost = 0;
    for (const Slot& slot : m_slots) {
        if (slot.kind == kind) {
            tried << &slot;
            cost += slot.limits.cost();
        }
    }
    // Paid before the first derivation: a file of many costly slots is refused at once.
    if (!budget.spend(cost))
        throw DiaryError::cannotUnseal(
            m_path, QStringLiteral("鍵ﾌｧｲﾙの鍵をすべて試すには計算が多すぎます。"
                                   "誰かが鍵を書き加えたおそれがあります。日記はそのままです。"));
    const KdfLimits usual = KdfLimits::standard();
    std::stable_sort(tried.begin(), tried.end(), [&usual](const Slot* a, const Slot* b) {
        return (a->limits == usual) > (b->limits == usual);
    });
    const SecretBytes typed =
        secretOf(code ? *code : secret.normalized(QString::NormalizationForm_C));
    for (const Slot* slot : tried) {
        std::optional<DiaryKey> key = unwrap(*slot, typed);
        if (!key)
            continue;
        if (openedSlot)
            *openedSlot = slot->id;
        // The previous key is wrapped under this one: only the key's holder can have put it there.
        if (rekeying())
            key->setPrevious(previousKey(*key));
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

std::shared_ptr<const DiaryKey> KeyFile::previousKey(const DiaryKey& key) const
{
    SecretBytes previous(DiaryKey::KeyBytes);
    const QByteArray ad = previousAd(m_diaryId, m_previousId);
    if (crypto_aead_xchacha20poly1305_ietf_decrypt(
            previous.data(), nullptr, nullptr, bytesOf(m_previousWrapped),
            size_t(m_previousWrapped.size()), bytesOf(ad), size_t(ad.size()),
            bytesOf(m_previousNonce), key.key().data()) != 0)
        return nullptr;
    return std::make_shared<const DiaryKey>(std::move(previous), m_previousId);
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

KeyFile KeyFile::keptTo(const DiaryKey& key, const QByteArray& slotId) const
{
    checkKey(key);
    KeyFile file = *this;
    file.m_version = Version;
    // The previous key, should the file be keying anew, proves itself: it opens under the key.
    const bool previous = rekeying() && previousKey(key);
    file.m_flags = previous ? RekeyingFlag : 0;
    if (!previous) {
        file.m_previousId.clear();
        file.m_previousNonce.clear();
        file.m_previousWrapped.clear();
    }
    file.m_revoked.clear();
    file.m_slots.removeIf([&slotId](const Slot& slot) { return slot.id != slotId; });
    file.written(key);
    return file;
}

void KeyFile::upgrade(const DiaryKey& key)
{
    checkKey(key);
    m_version = Version;
    written(key);
}

void KeyFile::setTurningOff(const DiaryKey& key, bool on)
{
    setFlag(key, TurningOffFlag, on);
}

void KeyFile::setTurningOn(const DiaryKey& key, bool on)
{
    setFlag(key, TurningOnFlag, on);
}

void KeyFile::setFlag(const DiaryKey& key, quint8 flag, bool on)
{
    checkKey(key);
    m_flags = on ? quint8(m_flags | flag) : quint8(m_flags & ~flag);
    written(key);
}

void KeyFile::setPrevious(const DiaryKey& key, const DiaryKey* previous)
{
    checkKey(key);
    if (previous) {
        m_previousId = previous->diaryId();
        m_previousNonce = randomBytes(NonceBytes);
        m_previousWrapped = QByteArray(WrappedBytes, Qt::Uninitialized);
        const QByteArray ad = previousAd(m_diaryId, m_previousId);
        crypto_aead_xchacha20poly1305_ietf_encrypt(
            reinterpret_cast<unsigned char*>(m_previousWrapped.data()), nullptr,
            previous->key().data(), size_t(previous->key().size()), bytesOf(ad), size_t(ad.size()),
            nullptr, bytesOf(m_previousNonce), key.key().data());
    } else {
        m_previousId.clear();
        m_previousNonce.clear();
        m_previousWrapped.clear();
    }
    setFlag(key, RekeyingFlag, previous != nullptr);
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
    for (const Slot& old : std::as_const(m_slots)) {
        if (old.kind == kind && m_revoked.size() < MaxRevoked)
            m_revoked << old.id;
    }
    m_slots.removeIf([kind](const Slot& old) { return old.kind == kind; });
    m_slots << slot;
    m_version = Version;
    written(key);
}

void KeyFile::written(const DiaryKey& key)
{
    ++m_counter;
    m_tag = tagOf(signedBytes(), key, m_version);
}

KeyFile KeyFile::merged(const KeyFile& a, const KeyFile& b, const DiaryKey& key,
                        const QString& path)
{
    if (a.m_diaryId != b.m_diaryId || a.m_diaryId != key.diaryId())
        throw DiaryError::cannotUnseal(path,
                                       QStringLiteral("ふたつの鍵ﾌｧｲﾙは別々の日記のものです。"));
    const bool aNewer =
        a.m_counter != b.m_counter ? a.m_counter > b.m_counter : a.bytes() >= b.bytes();
    KeyFile result = aNewer ? a : b;
    const KeyFile& other = aNewer ? b : a;
    result.m_path = path;
    bool changed = result.m_version != Version;
    for (const QByteArray& id : other.m_revoked) {
        if (!result.m_revoked.contains(id)) {
            result.m_revoked << id;
            changed = true;
        }
    }
    changed |= result.m_slots.removeIf(
                   [&result](const Slot& own) { return result.m_revoked.contains(own.id); }) > 0;
    for (const Slot& slot : other.m_slots) {
        const bool held = std::any_of(result.m_slots.cbegin(), result.m_slots.cend(),
                                      [&slot](const Slot& own) { return own.id == slot.id; });
        if (!held && !result.m_revoked.contains(slot.id)) {
            result.m_slots << slot;
            changed = true;
        }
    }
    if (result.m_slots.size() > MaxSlots || result.m_revoked.size() > MaxRevoked)
        throw DiaryError::cannotUnseal(
            path, QStringLiteral("ふたつの鍵ﾌｧｲﾙを合わせると鍵が多すぎます。"));
    if (changed) {
        std::sort(result.m_revoked.begin(), result.m_revoked.end());
        result.m_version = Version;
        result.m_counter = std::max(a.m_counter, b.m_counter);
        result.written(key);
    }
    return result;
}
