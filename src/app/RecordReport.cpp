#include "app/RecordReport.h"

#include "core/diary/DayStore.h"
#include "core/diary/DiaryKeyFile.h"
#include "core/diary/DiaryPaths.h"
#include "core/storage/DiaryError.h"
#include "core/storage/DiaryKey.h"
#include "core/tasks/PassphrasePrompt.h"
#include "core/tasks/RecordCounter.h"
#include "core/time/Clock.h"
#include "core/time/DiaryDate.h"

#include <QDir>
#include <QTextStream>

namespace {
// The key of an encrypted diary; null for a plain one. Throws a DiaryError saying why it cannot
// be had.
std::shared_ptr<const DiaryKey> keyOf(const QString& folder, QTextStream& err,
                                      PassphrasePrompt* passphrases)
{
    const std::optional<KeyFile> file = DiaryKeyFile::read(folder);
    if (!file)
        return {};
    const std::optional<QString> secret =
        passphrases ? passphrases->ask(QStringLiteral("パスフレーズ (または回復コード): "), err)
                    : std::nullopt;
    if (!secret)
        throw DiaryError(QStringLiteral("この日記は暗号化されていますが、パスフレーズを読めません"
                                        "でした。"));
    std::optional<DiaryKey> key = file->unlock(*secret);
    if (!key)
        throw DiaryError(QStringLiteral("パスフレーズ (または回復コード) が違います。"));
    return std::make_shared<const DiaryKey>(std::move(*key));
}
} // namespace

int RecordReport::print(const QString& folder, const Clock& clock, QTextStream& out,
                        QTextStream& err, PassphrasePrompt* passphrases)
{
    if (!DiaryPaths::holdsDiary(folder)) {
        err << QStringLiteral("tobiquill: 「%1」に日記がありません。\n").arg(folder);
        return 1;
    }
    std::shared_ptr<const DiaryKey> key;
    try {
        key = keyOf(folder, err, passphrases);
    } catch (const DiaryError& e) {
        err << QStringLiteral("tobiquill: ") << e.message() << QLatin1Char('\n');
        return 1;
    }
    RecordCounter counter(DayStore(QDir(folder).filePath(QStringLiteral("data")), std::move(key)));
    counter.refresh();
    out << counter.record().text(DiaryDate::toDate(DiaryDate::fromDateTime(clock.localNow())));
    return 0;
}
