#include "core/tasks/DiarySearch.h"

#include "core/diary/DayStore.h"
#include "core/diary/DiaryTitles.h"
#include "core/storage/CodePage932.h"
#include "core/storage/DiaryError.h"
#include "core/time/DiaryDate.h"

#include <QElapsedTimer>

#include <algorithm>
#include <optional>

namespace {

constexpr qint64 BatchMillis = 30;
// A long line is shown from a little before its match, so the match is on screen.
constexpr qsizetype LeadIn = 12;
constexpr qsizetype ShownLine = 80;

bool isBreak(QChar c)
{
    return c == QLatin1Char('\n') || c == QLatin1Char('\r');
}

} // namespace

DiarySearch::DiarySearch(DayStore days, QList<std::pair<QByteArray, QByteArray>> titles)
    : m_store(std::move(days)), m_rawTitles(std::move(titles))
{
}

void DiarySearch::prepare()
{
    if (m_listed)
        return;
    // Every entry is decoded on each search.
    CodePage932::prepareBulkDecoding();
    const QHash<QString, QByteArray> titles = DiaryTitles::byKey(m_rawTitles);
    m_days.clear();
    QStringList keys = m_store.entryKeys();
    std::reverse(keys.begin(), keys.end());
    for (const QString& key : std::as_const(keys)) {
        Day day;
        day.key = key;
        day.date = DiaryDate::fromDate(DayStore::dateOfKey(key));
        day.title = CodePage932::decode(titles.value(key));
        day.foldedTitle = SearchMatcher::fold(day.title);
        m_days.append(std::move(day));
    }
    m_rawTitles.clear();
    m_listed = true;
}

bool DiarySearch::run(const SearchMatcher& matcher, const std::function<bool()>& cancelled,
                      const std::function<void(QList<SearchHit>&&)>& deliver)
{
    prepare();
    QList<SearchHit> batch;
    bool delivered = false;
    QElapsedTimer sinceDelivery;
    sinceDelivery.start();
    const auto flush = [&] {
        if (batch.isEmpty())
            return;
        deliver(std::move(batch));
        batch = {};
        delivered = true;
        sinceDelivery.restart();
    };
    if (matcher.isEmpty())
        return true;
    for (const Day& day : std::as_const(m_days)) {
        if (cancelled())
            return false;
        // A day that cannot be read, that the editor would refuse, that is no file of the
        // user's own (a link, a pipe) or that does not open with the diary's key is left out.
        std::optional<QByteArray> bytes;
        try {
            bytes = m_store.readPlain(m_store.entryPath(day.key), day.key);
        } catch (const DiaryError&) {
        }
        if (!bytes)
            continue;
        const QString body = CodePage932::decode(*bytes);
        const QString folded = SearchMatcher::fold(body);
        if (!matcher.matches(day.foldedTitle, folded))
            continue;
        batch.append(hit(day, matcher, body, folded));
        if (delivered ? sinceDelivery.elapsed() >= BatchMillis : batch.size() >= FirstBatch)
            flush();
    }
    flush();
    return true;
}

SearchHit DiarySearch::hit(const Day& day, const SearchMatcher& matcher, const QString& body,
                           const QString& foldedBody) const
{
    SearchHit hit;
    hit.date = day.date;
    hit.key = day.key;
    hit.title = day.title;
    hit.heading = DiaryDate::dateLine(day.date) +
                  (day.title.isEmpty() ? QString() : QStringLiteral("  ") + day.title);
    const SearchMatcher::Span span = matcher.firstMatch(body, foldedBody);
    if (span.start < 0) {
        hit.line = day.title;
        const SearchMatcher::Span inTitle = matcher.firstMatch(day.title);
        hit.markStart = inTitle.start;
        hit.markLength = inTitle.length;
        return hit;
    }
    qsizetype begin = span.start;
    while (begin > 0 && !isBreak(body.at(begin - 1)))
        --begin;
    qsizetype end = span.start + span.length;
    while (end < body.size() && !isBreak(body.at(end)))
        ++end;
    const bool cut = span.start - begin > LeadIn && end - begin > ShownLine;
    qsizetype from = cut ? span.start - LeadIn : begin;
    // A character outside the BMP is shown whole or not at all.
    if (body.at(from).isLowSurrogate())
        --from;
    qsizetype length = std::min(end - from, ShownLine);
    if (body.at(from + length - 1).isHighSurrogate())
        --length;
    const QString ellipsis = cut ? QStringLiteral("…") : QString();
    hit.line = ellipsis + body.mid(from, length);
    hit.markStart = ellipsis.size() + span.start - from;
    hit.markLength = std::min(span.length, hit.line.size() - hit.markStart);
    return hit;
}
