#include "editor/HotSpot.h"

namespace {
int find(const ShiftJisText& text, const QByteArray& key, int from)
{
    for (qsizetype at = text.bytes().indexOf(key, from); at >= 0;
         at = text.bytes().indexOf(key, at + 1)) {
        if (text.startsCharacter(int(at)) && text.startsCharacter(int(at + key.size())))
            return int(at);
    }
    return -1;
}
QByteArray bytesOf(QChar marker)
{
    if (marker.unicode() < 0x80)
        return QByteArray(1, char(marker.unicode()));
    return ShiftJisText(QString(marker)).bytes();
}
} // namespace

void THotSpot::scan(const ShiftJisText& text, int from, TKeyDescrList& list) const
{
    if (!Active || BeginChar.isNull())
        return;
    const QByteArray begin = bytesOf(BeginChar);
    const QByteArray end = bytesOf(EndChar);
    for (int position = from; position <= text.byteCount();) {
        const int b = find(text, begin, position);
        if (b < 0)
            return;
        const int inside = b + int(begin.size());
        const int e = find(text, end, inside);
        if (e < 0)
            return;
        list.add({b, inside - 1, MarkerColor, TKeyDescr::MarkerLevel, 0});
        list.add({inside, e - 1, Color, TKeyDescr::HotSpotTextLevel, 0});
        list.add({e, e + int(end.size()) - 1, MarkerColor, TKeyDescr::MarkerLevel, 0});
        position = e + int(end.size());
    }
}

bool THotSpot::isOver(QStringView rest) const
{
    const qsizetype e = rest.indexOf(EndChar);
    const qsizetype b = rest.indexOf(BeginChar);
    return e >= 0 && (b < 0 || e < b || BeginChar == EndChar);
}

std::optional<QString> THotSpot::clickedText(const QString& line, int index) const
{
    const QStringView rest = QStringView(line).mid(index);
    if (!isOver(rest))
        return std::nullopt;
    const qsizetype before = index > 0 ? line.lastIndexOf(BeginChar, index - 1) : -1;
    const qsizetype start = before + 1;
    return line.mid(start, index - start) + rest.left(rest.indexOf(EndChar)).toString();
}
