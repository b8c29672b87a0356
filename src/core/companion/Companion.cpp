#include "core/companion/Companion.h"

#include "core/companion/Phrases.h"

#include <QTime>

namespace {

const QString spacer = QStringLiteral(" ");
const QString signature = QStringLiteral("モルナ");

} // namespace

const QString& Companion::marker()
{
    static const QString line = QStringLiteral("--------");
    return line;
}

bool Companion::isCommented(const QStringList& lines)
{
    return lines.contains(marker());
}

bool Companion::qualifies(const QStringList& lines, const QDateTime& localNow)
{
    if (lines.size() < 2 || isCommented(lines) || !localNow.isValid()) {
        return false;
    }
    // Compared as a clock time, not as a fraction of a day, so 06:00:00.000 itself counts.
    return localNow.toLocalTime().time() >= QTime(6, 0);
}

quint32 Companion::seedFrom(const QDateTime& utcNow)
{
    return static_cast<quint32>(utcNow.toUTC().time().msecsSinceStartOfDay());
}

QStringList Companion::commentBlock(const QString& userName)
{
    // One statement per phrase: the draws must happen in this order.
    QStringList block{spacer};
    block.append(PhraseWhen(userName));
    block.append(PhraseWho(userName));
    block.append(PhraseWhat(userName));
    block.append(PhraseRemark());
    block.append(spacer);
    block.append(marker());
    block.append(signature);
    return block;
}
