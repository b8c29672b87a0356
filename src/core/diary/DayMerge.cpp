#include "core/diary/DayMerge.h"

QString DayMerge::separator(Kind kind, const QDateTime& savedAt)
{
    const QString what = kind == Kind::Title ? QStringLiteral("題名") : QStringLiteral("内容");
    return QStringLiteral("――― 別のコンピューターで保存された%1 (%2) ―――")
        .arg(what, savedAt.toLocalTime().toString(QStringLiteral("yyyy/MM/dd HH:mm")));
}

QString DayMerge::join(const QString& ours, const QString& theirs, const QDateTime& savedAt,
                       Kind kind)
{
    if (theirs.isEmpty())
        return ours;
    if (kind == Kind::Text) {
        if (ours.contains(theirs))
            return ours;
        if (theirs.contains(ours))
            return theirs;
    }
    const QString block = separator(kind, savedAt) + QLatin1Char('\n') + theirs;
    // The same title saved at the same time is in already: joining a copy again adds nothing.
    if (kind == Kind::Title) {
        for (qsizetype at = ours.indexOf(block); at >= 0; at = ours.indexOf(block, at + 1)) {
            const qsizetype end = at + block.size();
            if (end == ours.size() || ours.at(end) == QLatin1Char('\n'))
                return ours;
        }
    }
    QString joined = ours;
    if (!joined.isEmpty() && !joined.endsWith(QLatin1Char('\n')))
        joined += QLatin1Char('\n');
    return joined + block;
}

QString DayMerge::resolve(const QString& base, const QString& ours, const QString& theirs,
                          const QDateTime& theirsSavedAt)
{
    if (ours == base)
        return theirs;
    if (theirs == base)
        return ours;
    return join(ours, theirs, theirsSavedAt);
}
