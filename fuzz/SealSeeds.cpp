// Writes the seed corpora of the sealed-bytes and key-file targets (run from the source folder:
// build/fuzz/fuzz_seal_seeds fuzz/corpus). The key file's slots take the smallest limits, so a
// fuzzer that reaches an unlock stays quick.
#include "FixedDiaryKey.h"
#include "core/storage/KeyFile.h"
#include "core/storage/RecoveryCode.h"
#include "core/storage/SafeFile.h"
#include "core/storage/SealedBytes.h"

#include <QDir>

int main(int argc, char* argv[])
{
    if (argc != 2)
        return 2;
    const QDir corpus(QString::fromLocal8Bit(argv[1]));
    const auto write = [&](const QString& name, const QByteArray& bytes) {
        corpus.mkpath(QFileInfo(name).path());
        SafeFile::write(corpus.filePath(name), bytes);
    };

    const DiaryKey& key = fixedDiaryKey();
    const QByteArray day = QByteArray("\x8d\xa1\x93\xfa\x82\xcd\x90\xb0\x82\xea\r\n");
    write(QStringLiteral("SealedBytes/day"), SealedBytes::seal(key, day, "day 20240315"));
    write(QStringLiteral("SealedBytes/empty_day"), SealedBytes::seal(key, {}, "day 20240315"));
    write(QStringLiteral("SealedBytes/title_text"),
          SealedBytes::sealText(key, "\x8e\x55\x95\xe0", "title 20240315"));
    write(QStringLiteral("SealedBytes/cut_in_the_nonce"),
          SealedBytes::seal(key, day, "day 20240315").first(20));

    KdfLimits::forNewSlots() = KdfLimits::minimum();
    const QString code = RecoveryCode::generate();
    const KeyFile file = KeyFile::create(key, QStringLiteral("passphrase"), code);
    write(QStringLiteral("KeyFile/passphrase_and_code"), file.bytes());
    KeyFile off = file;
    off.setTurningOff(key, true);
    write(QStringLiteral("KeyFile/turning_off"), off.bytes());
    KeyFile changed = file;
    changed.setPassphrase(key, QStringLiteral("another"));
    write(QStringLiteral("KeyFile/folded_conflict"),
          KeyFile::merged(changed, off, key, QStringLiteral("diary.key")).bytes());
    // Keying anew: the previous key wrapped under a new one, and a revoked slot.
    DiaryKey fresh(SecretBytes::copyOf(QByteArray(DiaryKey::KeyBytes, 'n')),
                   QByteArray(DiaryKey::IdBytes, 'j'));
    KeyFile anew = KeyFile::create(fresh, QStringLiteral("passphrase"), code);
    anew.setPrevious(fresh, &key);
    write(QStringLiteral("KeyFile/keyed_anew"), anew.bytes());
    return 0;
}
