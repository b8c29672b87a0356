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

int RecordReport::print(const QString& folder, const Clock& clock, QTextStream& out,
                        QTextStream& err, PassphrasePrompt* passphrases)
{
    if (!DiaryPaths::holdsDiary(folder)) {
        err << QStringLiteral("tobiquill: 「%1」に日記がありません。\n").arg(folder);
        return 1;
    }
    std::shared_ptr<const DiaryKey> key;
    try {
        if (passphrases)
            key = passphrases->diaryKey(folder, err);
        else if (DiaryKeyFile::exists(folder))
            throw DiaryError::locked();
    } catch (const DiaryError& e) {
        err << QStringLiteral("tobiquill: ") << e.message() << QLatin1Char('\n');
        return 1;
    }
    RecordCounter counter(DayStore(QDir(folder).filePath(QStringLiteral("data")), std::move(key)));
    counter.refresh();
    out << counter.record().text(DiaryDate::toDate(DiaryDate::fromDateTime(clock.localNow())));
    return 0;
}
