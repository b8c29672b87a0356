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

// The key file to change: the one on disk now, which a sync tool may have brought from another
// computer where the passphrase was changed; the one this diary read would bring the old back.
KeyFile current(const Diary& diary)
{
    const std::optional<KeyFile> onDisk = DiaryKeyFile::read(diary.folder());
    if (!onDisk)
        return *diary.keyFile();
    if (onDisk->diaryId() != diary.key()->diaryId())
        throw DiaryError(QStringLiteral("%1 はこの日記の鍵ファイルではありません。"
                                        "書き換えずにそのまま残してあります。")
                             .arg(DiaryKeyFile::path(diary.folder())));
    return *onDisk;
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
    const KeyFile file = KeyFile::create(key, passphrase, code);
    diary.writeKeyFile(file, std::make_shared<const DiaryKey>(std::move(key)));
    return code;
}

void DiaryEncryption::turnOff(Diary& diary)
{
    requireEncrypted(diary);
    KeyFile file = current(diary);
    file.setTurningOff(*diary.key(), true);
    diary.writeKeyFile(file, diary.key());
}

bool DiaryEncryption::needsFinishing(const Diary& diary)
{
    if (!diary.isEncrypted() || !diary.isUnlocked())
        return false;
    if (diary.keyFile()->turningOff())
        return true;
    const auto titles = diary.IniFile().ReadSectionValues("title");
    if (std::any_of(titles.cbegin(), titles.cend(), [](const auto& title) {
            return !title.second.isEmpty() && !SealedBytes::isSealedText(title.second);
        }))
        return true;
    const DayStore& days = diary.days();
    const QStringList keys = days.entryKeys();
    return std::any_of(keys.cbegin(), keys.cend(), [&](const QString& key) {
        try {
            const std::optional<QByteArray> bytes =
                SafeFile::readOwn(days.entryPath(key), DayStore::MaxFileBytes);
            return !bytes || !DayStore::isSealed(*bytes);
        } catch (const DiaryError&) {
            // finish() names it.
            return true;
        }
    });
}

int DiaryEncryption::finish(Diary& diary, const TaskProgress& progress)
{
    if (!diary.isEncrypted())
        return 0;
    requireEncrypted(diary);
    const bool sealed = !diary.keyFile()->turningOff();
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
    if (!sealed)
        diary.removeKeyFile();
    return written;
}

void DiaryEncryption::changePassphrase(Diary& diary, const QString& passphrase)
{
    requireEncrypted(diary);
    refuse(passphrase);
    KeyFile file = current(diary);
    file.setPassphrase(*diary.key(), passphrase);
    diary.writeKeyFile(file, diary.key());
}

QString DiaryEncryption::newRecoveryCode(Diary& diary)
{
    requireEncrypted(diary);
    const QString code = RecoveryCode::generate();
    KeyFile file = current(diary);
    file.setRecoveryCode(*diary.key(), code);
    diary.writeKeyFile(file, diary.key());
    return code;
}
