#pragma once

#include "core/storage/KdfLimits.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QString>

#include <optional>

class DiaryKey;
class SecretBytes;

// diary.key: the diary's master key wrapped once per slot, each slot a way in (a passphrase or a
// recovery code). Binary and little-endian, read by a strict parser (every length and limit
// checked; what it reads, bytes() writes back unchanged):
//   "TQKY", version 1, flags (1: turning encryption off), write counter (u64; of two copies the
//   higher is newer), diary id (16), header tag (32), slot count (u8), then per slot:
//   kind (u8), slot id (16), Argon2id salt (16), ops (u64), memory bytes (u64), nonce (24),
//   the master key wrapped with XChaCha20-Poly1305 under the Argon2id output (48), its
//   associated data the slot's bytes before it and the diary id.
// The header tag is a keyed hash of the header under the master key: a file in a synced folder
// is a stranger's, and a flag set by someone without the key must not turn encryption off.
class KeyFile
{
public:
    enum class SlotKind : quint8
    {
        Passphrase = 1,
        RecoveryCode = 2,
    };

    // Passphrases are taken as UTF-8 of their NFC form. Throws DiaryError when the passphrase
    // reads as a recovery code (it would never be tried) or the code is not one.
    static KeyFile create(const DiaryKey& key, const QString& passphrase,
                          const QString& recoveryCode);
    // Throws DiaryError::cannotUnseal naming the path when the bytes are not a key file this
    // program writes (cut short, too long, an unknown version, limits out of bounds).
    static KeyFile parse(QByteArrayView bytes, const QString& path);
    QByteArray bytes() const;
    const QByteArray& diaryId() const { return m_diaryId; }
    quint64 counter() const { return m_counter; }

    // A recovery code (its form and check character) tries the recovery slots, anything else
    // the passphrase slots. No value when none opens; each slot tried costs one derivation.
    // Throws DiaryError when a slot opens but the header was altered without the key.
    std::optional<DiaryKey> unlock(const QString& secret) const;
    // Replace the passphrase slots, or the recovery slots; the key must be this diary's.
    void setPassphrase(const DiaryKey& key, const QString& passphrase);
    void setRecoveryCode(const DiaryKey& key, const QString& code);

    // Set while encryption is being turned off, so an interrupted run is finished. Setting it
    // takes the key: the header tag is made anew.
    bool turningOff() const { return m_turningOff; }
    void setTurningOff(const DiaryKey& key, bool on);

    // Two copies of one diary's key file (a sync conflict): the newer one, with every slot of
    // the other it lacks, so no way in is lost. Throws DiaryError when the diary ids differ.
    static KeyFile merged(const KeyFile& a, const KeyFile& b, const QString& path);

private:
    struct Slot
    {
        SlotKind kind;
        QByteArray id;
        QByteArray salt;
        KdfLimits limits;
        QByteArray nonce;
        QByteArray wrapped;

        QByteArray prefix() const;
    };

    KeyFile() = default;
    QByteArray header() const;
    void checkKey(const DiaryKey& key) const;
    void replaceSlots(const DiaryKey& key, SlotKind kind, const SecretBytes& secret);
    // A write: the counter moves on and the header is tagged under the key.
    void written(const DiaryKey& key);
    std::optional<DiaryKey> unwrap(const Slot& slot, const SecretBytes& secret) const;

    QString m_path;
    QByteArray m_diaryId;
    quint64 m_counter = 0;
    bool m_turningOff = false;
    QByteArray m_tag;
    QList<Slot> m_slots;
};
