// Unlocking an encrypted diary: one Argon2id derivation with the limits new key slots get, then
// the master key unwrapped. The aim is 0.3-1 s: slow enough that guessing passphrases is costly,
// quick enough that opening the diary does not feel stuck. Reported against one second.

#include "common/BenchReport.h"
#include "core/storage/DiaryKey.h"
#include "core/storage/KeyFile.h"
#include "core/storage/RecoveryCode.h"

#include <QCoreApplication>

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    const QString passphrase = QStringLiteral("晴れた日に散歩");
    const DiaryKey key = DiaryKey::generate();
    const KeyFile file = KeyFile::create(key, passphrase, RecoveryCode::generate());

    Samples unlock;
    Samples wrong;
    for (int i = 0; i < 7; ++i) {
        unlock.measure([&] {
            if (!file.unlock(passphrase))
                qFatal("the passphrase did not open the key file");
        });
        wrong.measure([&] { (void)file.unlock(QStringLiteral("違う")); });
    }

    const KdfLimits limits = KdfLimits::standard();
    BenchReport::section(QStringLiteral("Unlock, Argon2id %1 passes over %2 MiB")
                             .arg(limits.ops)
                             .arg(limits.memBytes >> 20));
    BenchReport::figure(QStringLiteral("KeyFile::unlock, the passphrase"), unlock);
    BenchReport::figure(QStringLiteral("KeyFile::unlock, a wrong passphrase"), wrong);
    BenchReport::ratio(
        QStringLiteral("unlock / 1 s (%1 ms)").arg(unlock.medianMicros() / 1000, 0, 'f', 0),
        unlock.medianMicros() / 1e6, QStringLiteral("aim 0.3-1x"));
    return 0;
}
