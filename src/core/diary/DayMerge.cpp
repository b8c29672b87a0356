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
    QString joined = ours;
    if (!joined.isEmpty() && !joined.endsWith(QLatin1Char('\n')))
        joined += QLatin1Char('\n');
    return joined + separator(kind, savedAt) + QLatin1Char('\n') + theirs;
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
