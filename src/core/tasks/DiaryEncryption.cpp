#include "core/tasks/DiaryEncryption.h"

#include "core/diary/DayStore.h"
#include "core/diary/Diary.h"
#include "core/diary/DiaryKeyFile.h"
#include "core/storage/DiaryError.h"
#include "core/storage/DiaryKey.h"
#include "core/storage/IniFile32.h"
#include "core/storage/KeyFile.h"
#include "core/storage/RecoveryCode.h"
#include "core/storage/SafeFile.h"
#include "core/storage/SealedBytes.h"
#include "core/storage/SecretBytes.h"
#include "core/time/DiaryDate.h"

#include <algorithm>

namespace {

// A batch of days written at once: few syncs of the disk, a bounded number of new files beside
// the old ones, and a bounded amount of memory.
constexpr qsizetype BatchDays = 2048;
constexpr qsizetype BatchBytes = 32 * 1024 * 1024;

void requireEncrypted(const Diary& diary)
{
    if (!diary.isEncrypted())
        throw DiaryError(QStringLiteral("この日記は暗号化されていません。"));
    if (!diary.isUnlocked())
        throw DiaryError::locked();
}

void refuse(const QString& passphrase)
{
    if (const QString why = DiaryEncryption::whyNotPassphrase(passphrase); !why.isEmpty())
        throw DiaryError(why);
}

} // namespace

QString DiaryEncryption::whyNotPassphrase(const QString& passphrase)
{
    const QString text = passphrase.normalized(QString::NormalizationForm_C);
    const qsizetype characters =
        text.size() -
        std::count_if(text.cbegin(), text.cend(), [](QChar c) { return c.isLowSurrogate(); });
    if (characters < MinPassphraseLength)
        return QStringLiteral("パスフレーズが短すぎます。%1 文字以上にしてください。"
                              "短いものは総当たりで見つけられてしまいます。")
            .arg(MinPassphraseLength);
    // What has the form of a recovery code is tried as one, never as a passphrase.
    if (RecoveryCode::normalised(text))
        return QStringLiteral("回復コードと同じ形のパスフレーズは使えません。"
                              "ほかのパスフレーズにしてください。");
    return {};
}

QString DiaryEncryption::turnOn(Diary& diary, const QString& passphrase)
{
    if (diary.isEncrypted())
        throw DiaryError(QStringLiteral("この日記はもう暗号化されています。"));
    refuse(passphrase);
    DiaryKey key = DiaryKey::generate();
    const QString code = RecoveryCode::generate();
    KeyFile file = KeyFile::create(key, passphrase, code);
    file.setTurningOn(key, true);
    diary.writeKeyFile(file, std::make_shared<const DiaryKey>(std::move(key)));
    return code;
}

void DiaryEncryption::turnOff(Diary& diary)
{
    requireEncrypted(diary);
    KeyFile file = diary.refreshKeyFile();
    file.setTurningOff(*diary.key(), true);
    diary.writeKeyFile(file, diary.key());
}

QString DiaryEncryption::rekey(Diary& diary, const QString& passphrase)
{
    requireEncrypted(diary);
    refuse(passphrase);
    diary.refreshKeyFile();
    // Sealing again seals everything: plain days the owner has not agreed to, or a conversion
    // under way, come first.
    switch (pending(diary)) {
    case Pending::Nothing:
        break;
    case Pending::PlainContent:
        throw DiaryError(plainNotice(plainDays(diary)) +
                         QStringLiteral("\n鍵を作り直す前に、これらを暗号化するかどうか決めて"
                                        "ください。"));
    default:
        throw DiaryError(QStringLiteral("暗号化するか解くか、鍵を作り直す途中です。"
                                        "それを終えてからにしてください。"));
    }
    DiaryKey fresh = DiaryKey::generate();
    const QString code = RecoveryCode::generate();
    KeyFile file = KeyFile::create(fresh, passphrase, code);
    file.setPrevious(fresh, diary.key().get());
    fresh.setPrevious(diary.key());
    diary.writeKeyFile(file, std::make_shared<const DiaryKey>(std::move(fresh)));
    return code;
}

QStringList DiaryEncryption::plainDays(const Diary& diary)
{
    QStringList days;
    const auto titles = diary.IniFile().ReadSectionValues("title");
    for (const auto& [key, value] : titles) {
        if (!value.isEmpty() && !SealedBytes::isSealedText(value) &&
            DayStore::dateOfKey(QString::fromLatin1(key)).isValid())
            days << QString::fromLatin1(key);
    }
    const DayStore& store = diary.days();
    for (const QString& key : store.entryKeys()) {
        try {
            const std::optional<QByteArray> bytes =
                SafeFile::readOwn(store.entryPath(key), DayStore::MaxFileBytes);
            if (bytes && !DayStore::isSealed(*bytes))
                days << key;
        } catch (const DiaryError&) {
            // Not readable at all: finish() names it.
        }
    }
    days.sort();
    days.removeDuplicates();
    return days;
}

QString DiaryEncryption::plainNotice(const QStringList& days)
{
    constexpr qsizetype Shown = 5;
    QStringList named;
    for (const QString& key : days.first(std::min(days.size(), Shown)))
        named << DiaryDate::dateLine(DiaryDate::fromDate(DayStore::dateOfKey(key)));
    if (days.size() > Shown)
        named << QStringLiteral("ほか %1 日").arg(days.size() - Shown);
    return QStringLiteral("暗号化した日記に、暗号化されていない日が %1 日分あります: %2\n"
                          "同期ツールか、この日記の鍵を持たない誰かが置いたものかもしれません。")
        .arg(days.size())
        .arg(named.join(QStringLiteral("、")));
}

DiaryEncryption::Pending DiaryEncryption::pending(const Diary& diary)
{
    if (!diary.isEncrypted() || !diary.isUnlocked())
        return Pending::Nothing;
    const KeyFile& file = *diary.keyFile();
    if (file.turningOff())
        return Pending::TurningOff;
    if (file.rekeying())
        return Pending::Rekeying;
    if (file.turningOn())
        return Pending::TurningOn;
    return plainDays(diary).isEmpty() ? Pending::Nothing : Pending::PlainContent;
}

int DiaryEncryption::finish(Diary& diary, const TaskProgress& progress, bool agreed)
{
    if (!diary.isEncrypted())
        return 0;
    requireEncrypted(diary);
    KeyFile file = diary.refreshKeyFile();
    const Pending what = pending(diary);
    if (what == Pending::Nothing)
        return 0;
    if (what == Pending::TurningOff && !agreed)
        throw DiaryError(QStringLiteral("この日記は暗号化を解く途中です。続けるかどうか"
                                        "尋ねてから解きます。"));
    if (what == Pending::PlainContent && !agreed)
        throw DiaryError(plainNotice(plainDays(diary)));
    const bool sealed = what != Pending::TurningOff;
    const DayStore& days = diary.days();
    const QStringList keys = days.entryKeys();
    int written = 0;
    QList<std::pair<QString, QByteArray>> batch;
    qsizetype batchBytes = 0;
    const auto write = [&] {
        SafeFile::writeMany(batch, SafeFile::Links::Refused);
        written += int(batch.size());
        batch.clear();
        batchBytes = 0;
    };
    for (qsizetype i = 0; i < keys.size(); ++i) {
        progress.advance(i, keys.size());
        try {
            if (std::optional<QByteArray> bytes = days.converted(keys[i], sealed)) {
                batchBytes += bytes->size();
                batch.append({days.entryPath(keys[i]), std::move(*bytes)});
            }
        } catch (const DiaryError& error) {
            // The days before it stay done.
            write();
            throw DiaryError(
                QStringLiteral("%1 の日記を%2できません。ほかの日はそのまま読めます。\n%3")
                    .arg(DiaryDate::dateLine(DiaryDate::fromDate(DayStore::dateOfKey(keys[i]))),
                         sealed ? QStringLiteral("暗号化") : QStringLiteral("復号"),
                         error.message()));
        }
        if (batch.size() >= BatchDays || batchBytes >= BatchBytes)
            write();
    }
    write();
    progress.advance(keys.size(), keys.size());
    diary.convertTitles(sealed);
    if (!sealed) {
        diary.removeKeyFile();
    } else if (file.turningOn() || file.rekeying()) {
        const DiaryKey& key = *diary.key();
        file.setTurningOn(key, false);
        file.setPrevious(key, nullptr);
        diary.writeKeyFile(file, std::make_shared<const DiaryKey>(
                                     SecretBytes::copyOf(key.key().view()), key.diaryId()));
    }
    return written;
}

void DiaryEncryption::changePassphrase(Diary& diary, const QString& passphrase)
{
    requireEncrypted(diary);
    refuse(passphrase);
    KeyFile file = diary.refreshKeyFile();
    file.setPassphrase(*diary.key(), passphrase);
    diary.writeKeyFile(file, diary.key());
}

QString DiaryEncryption::newRecoveryCode(Diary& diary)
{
    requireEncrypted(diary);
    const QString code = RecoveryCode::generate();
    KeyFile file = diary.refreshKeyFile();
    file.setRecoveryCode(*diary.key(), code);
    diary.writeKeyFile(file, diary.key());
    return code;
}
