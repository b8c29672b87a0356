#include "app/RecordReport.h"

#include "core/diary/DiaryPaths.h"
#include "core/tasks/RecordCounter.h"
#include "core/time/Clock.h"
#include "core/time/DiaryDate.h"

#include <QDir>
#include <QTextStream>

int RecordReport::print(const QString& folder, const Clock& clock, QTextStream& out,
                        QTextStream& err)
{
    if (!DiaryPaths::holdsDiary(folder)) {
        err << QStringLiteral("tobiquill: 「%1」に日記がありません。\n").arg(folder);
        return 1;
    }
    RecordCounter counter(QDir(folder).filePath(QStringLiteral("data")));
    counter.refresh();
    out << counter.record().text(DiaryDate::toDate(DiaryDate::fromDateTime(clock.localNow())));
    return 0;
}
