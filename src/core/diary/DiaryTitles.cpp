#include "core/diary/DiaryTitles.h"

QHash<QString, QByteArray>
DiaryTitles::byKey(const QList<std::pair<QByteArray, QByteArray>>& values)
{
    QHash<QString, QByteArray> titles;
    titles.reserve(values.size());
    for (const auto& [key, value] : values) {
        const QString name = QString::fromLatin1(key);
        if (!titles.contains(name))
            titles.insert(name, value);
    }
    return titles;
}
