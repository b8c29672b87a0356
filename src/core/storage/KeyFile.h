#pragma once

#include "core/storage/KdfLimits.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QString>

#include <memory>
#include <optional>

class DiaryKey;
class SecretBytes;

// diary.key: the diary's master key wrapped once per slot, each slot a way in (a passphrase or a
// recovery code). Binary and little-endian, read by a strict parser (every length and limit
// checked; what it reads, bytes() writes back unchanged). Version 2:
//   "TQKY", version 2, flags (1: turning encryption off, 2: turning it on, 4: keying anew), write
//   counter (u64; of two copies the higher is newer), diary id (16), slot count (u8), the slots,
//   revoked slot count (u16) and their ids (16 each), when keying anew the previous diary id (16),
//   a nonce (24) and the previous master key wrapped under this one (48), and last a tag (32).
//   A slot: kind (u8), slot id (16), Argon2id salt (16), ops (u64), memory bytes (u64), nonce
//   (24), the master key wrapped with XChaCha20-Poly1305 under the Argon2id output (48), its
//   associated data the slot's bytes before it and the diary id.
// The tag is a keyed hash of every byte before it under a key derived from the master key: the
// folder is a stranger's, and whoever has no key can neither set a flag, nor strip, add or bring
// back a slot, without the file failing verifies(). Version 1 had no revoked list and tagged only
// its header (magic to diary id, tag after it); it is read, and written as version 2 at the first
// change.
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
    int version() const { return m_version; }
    const QString& path() const { return m_path; }

    // A recovery code (its form and check character) tries the recovery slots, anything else
    // the passphrase slots, those of the standard limits first. No value when none opens. Each
    // slot tried is paid from budget; a file whose slots would cost more than is left is refused
    // (DiaryError) before any is tried. What a slot opens is not yet this file's key: see
    // verifies(). openedSlot, when given, receives the id of the slot that opened.
    std::optional<DiaryKey> unlock(const QString& secret, KdfBudget& budget,
                                   QByteArray* openedSlot = nullptr) const;
    std::optional<DiaryKey> unlock(const QString& secret) const;
    // Whether the whole file was written by a holder of key (version 1: its header only).
    bool verifies(const DiaryKey& key) const;

    // Each change takes the key and tags the file anew. Replacing the passphrase slots or the
    // recovery slots revokes the old ones: no merge brings them back.
    void setPassphrase(const DiaryKey& key, const QString& passphrase);
    void setRecoveryCode(const DiaryKey& key, const QString& code);
    // The file with only the slot that opened it, its other contents not being trusted: what an
    // altered file is cut back to.
    KeyFile keptTo(const DiaryKey& key, const QByteArray& slotId) const;
    // A version 1 file written as version 2, every slot kept.
    void upgrade(const DiaryKey& key);

    // Set while encryption is being turned off, so an interrupted run is finished.
    bool turningOff() const { return m_flags & TurningOffFlag; }
    void setTurningOff(const DiaryKey& key, bool on);
    // Set by turning encryption on until every day and title is sealed: what explains a plain
    // day in an encrypted diary.
    bool turningOn() const { return m_flags & TurningOnFlag; }
    void setTurningOn(const DiaryKey& key, bool on);
    // Keying anew: the file holds the previous key wrapped under the new one until every day
    // and title is sealed again; the key unlock() gives then carries it (DiaryKey::previous()).
    bool rekeying() const { return m_flags & RekeyingFlag; }
    void setPrevious(const DiaryKey& key, const DiaryKey* previous);

    // Two copies of one diary's key file (a sync conflict), both verified under key by the
    // caller: the newer one, with every slot of the other it lacks that neither revoked, so no way
    // in is lost and none comes back. Throws DiaryError when the diary ids differ or the slots
    // would be more than a file holds.
    static KeyFile merged(const KeyFile& a, const KeyFile& b, const DiaryKey& key,
                          const QString& path);

private:
    static constexpr quint8 TurningOffFlag = 1;
    static constexpr quint8 TurningOnFlag = 2;
    static constexpr quint8 RekeyingFlag = 4;

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
    QByteArray signedBytes() const;
    void checkKey(const DiaryKey& key) const;
    void setFlag(const DiaryKey& key, quint8 flag, bool on);
    void replaceSlots(const DiaryKey& key, SlotKind kind, const SecretBytes& secret);
    // A write: the counter moves on and the file is tagged under the key.
    void written(const DiaryKey& key);
    std::optional<DiaryKey> unwrap(const Slot& slot, const SecretBytes& secret) const;
    std::shared_ptr<const DiaryKey> previousKey(const DiaryKey& key) const;

    QString m_path;
    int m_version = 2;
    quint8 m_flags = 0;
    QByteArray m_diaryId;
    quint64 m_counter = 0;
    QByteArray m_tag;
    QList<Slot> m_slots;
    QList<QByteArray> m_revoked;
    QByteArray m_previousId;
    QByteArray m_previousNonce;
    QByteArray m_previousWrapped;
};
