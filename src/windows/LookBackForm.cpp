#include "windows/LookBackForm.h"

#include "core/diary/Diary.h"
#include "core/diary/DiaryWatcher.h"
#include "core/storage/DiaryError.h"
#include "core/tasks/OnThisDay.h"
#include "core/time/DiaryDate.h"
#include "core/time/MonthLayout.h"
#include "skin/Scheme.h"
#include "skin/Skin.h"
#include "widgets/AccessibleNames.h"
#include "widgets/YearGrid.h"

#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QLocale>
#include <QScreen>
#include <QToolButton>

namespace {
const QString Caption = QStringLiteral("振り返り");
constexpr int Width = 580;
constexpr int Height = 330;
constexpr int DateRole = Qt::UserRole;
// Enough of a body to fill a line of the list; the rest is never shown.
constexpr qsizetype SnippetLength = 200;

QImage background(const Skin& skin)
{
    QImage frame(Width, Height, QImage::Format_RGB32);
    Scheme::PaintFrame(frame, skin.SchemeColors);
    return frame;
}

QString longDate(const QDate& date)
{
    return QStringLiteral("%1年%2月%3日").arg(date.year()).arg(date.month()).arg(date.day());
}

QString number(qint64 n)
{
    return QLocale(QLocale::Japanese, QLocale::Japan).toString(n);
}

QString streakText(const QString& name, const DiaryRecord::Streak& streak)
{
    if (streak.days == 0)
        return QStringLiteral("%1 0日").arg(name);
    // The year is not said twice.
    const QString last =
        streak.last.year() == streak.first.year()
            ? QStringLiteral("%1月%2日").arg(streak.last.month()).arg(streak.last.day())
            : longDate(streak.last);
    return QStringLiteral("%1 %2日 (%3〜%4)")
        .arg(name, number(streak.days), longDate(streak.first), last);
}

// The body's first lines as one line of plain text.
QString snippet(const QString& body)
{
    // A character outside the BMP is cut whole.
    const qsizetype length =
        body.size() > SnippetLength && body.at(SnippetLength - 1).isHighSurrogate()
            ? SnippetLength - 1
            : SnippetLength;
    QStringList lines = body.left(length).split(QLatin1Char('\n'));
    for (QString& line : lines)
        line = line.trimmed();
    lines.removeAll(QString());
    return lines.join(QStringLiteral("　"));
}
} // namespace

TLookBackForm::TLookBackForm(const Skin& skin, const Diary& diary, const DiaryWatcher& watcher,
                             const Clock& clock, QWidget* parent)
    : SkinnedForm(background(skin), skin.SchemeColors.Face, parent), m_diary(diary),
      m_engine(diary.days())
{
    const TSchemeColors& c = skin.SchemeColors;
    makeCaption(Caption, c.BodyText, c.DateText, Label1, SpeedButton1);

    SameDayLabel = makeLabel(QString(), QRect(12, 24, Width - 24, 15), c.DateText);
    SameDayList = new QListWidget(this);
    SameDayList->setGeometry(12, 40, Width - 24, 94);
    SameDayList->setFrameShape(QFrame::NoFrame);
    SameDayList->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    QPalette palette = SameDayList->palette();
    palette.setColor(QPalette::Base, QColor(c.Face));
    palette.setColor(QPalette::Text, QColor(c.DateText));
    palette.setColor(QPalette::Highlight, QColor(c.FrameFill));
    palette.setColor(QPalette::HighlightedText, QColor(c.DateText));
    SameDayList->setPalette(palette);

    PrevYear = makePictureButton(skin.Image4, QRect(10, 138, 27, 25));
    RecordLabel = makeLabel(QString(), QRect(40, 142, 100, 17), c.DateText);
    RecordLabel->setAlignment(Qt::AlignCenter);
    NextYear = makePictureButton(skin.Image2, QRect(142, 138, 27, 25));

    Grid = new YearGrid(clock, this);
    Grid->move(12, 166);
    Grid->setColours(c.Face, c.DateText, c.BodyText);
    // Weeks start as the calendar's do.
    Grid->setStartOfWeek(MonthLayout(clock).StartOfWeek());
    Grid->setTitleOf([&diary](const QDate& date) {
        return diary.readTitle(DiaryDate::key(DiaryDate::fromDate(date)));
    });
    DayLabel = makeLabel(QString(), QRect(12, 250, Width - 24, 15), c.DateText);
    StatsLabel =
        makeLabel(QStringLiteral("数えています…"), QRect(12, 268, Width - 24, 52), c.DateText);
    StatsLabel->setAlignment(Qt::AlignLeft | Qt::AlignTop);

    AccessibleNames::apply(this, {{Label1, "Label1"},
                                  {SameDayLabel, "SameDayLabel"},
                                  {SameDayList, "SameDayList"},
                                  {PrevYear, "PrevYear"},
                                  {RecordLabel, "RecordLabel"},
                                  {NextYear, "NextYear"},
                                  {Grid, "Grid"},
                                  {DayLabel, "DayLabel"},
                                  {StatsLabel, "StatsLabel"},
                                  {SpeedButton1, "SpeedButton1"}});
    SameDayList->installEventFilter(this);
    connect(SameDayList, &QListWidget::itemClicked, this, &TLookBackForm::chooseItem);
    connect(SpeedButton1, &QToolButton::clicked, this, &QDialog::reject);
    connect(PrevYear, &QToolButton::clicked, this,
            [this] { Grid->setCurrent(Grid->current().addYears(-1)); });
    connect(NextYear, &QToolButton::clicked, this,
            [this] { Grid->setCurrent(Grid->current().addYears(1)); });
    connect(Grid, &YearGrid::currentChanged, this, &TLookBackForm::gridMoved);
    connect(Grid, &YearGrid::dayChosen, this,
            [this](const QDate& date) { emit dayChosen(DiaryDate::fromDate(date)); });
    connect(&m_engine, &RecordEngine::counted, this, &TLookBackForm::recordCounted);
    // A save, or a day that another computer changed, is counted again.
    connect(&watcher, &DiaryWatcher::changed, &m_engine, &RecordEngine::refresh);
    gridMoved(Grid->current());
}

// Shown again, the window draws the counts it kept at once; the watcher has kept them up to
// date, and a look at the files' stamps in the background catches what it may have missed.
void TLookBackForm::showEvent(QShowEvent* event)
{
    m_engine.refresh();
    SkinnedForm::showEvent(event);
}

void TLookBackForm::placeBeside(const QRect& area)
{
    const QScreen* screen = QGuiApplication::screenAt(area.center());
    const QRect room = screen ? screen->availableGeometry() : area;
    constexpr int Gap = 8;
    const QPoint places[] = {
        {area.right() + 1 + Gap, area.top()},
        {area.left() - Gap - width(), area.top()},
        {area.left(), area.bottom() + 1 + Gap},
        {area.left(), area.top() - Gap - height()},
    };
    for (const QPoint& place : places) {
        if (room.contains(QRect(place, size()))) {
            move(place);
            return;
        }
    }
    centreOver(area);
}

void TLookBackForm::setShownDate(double date)
{
    const QDate shown = DiaryDate::toDate(date);
    if (shown == m_shown)
        return;
    m_shown = shown;
    fillSameDay(shown);
    Grid->setCurrent(shown);
}

void TLookBackForm::fillSameDay(const QDate& shown)
{
    SameDayLabel->setText(QStringLiteral("この日 — %1月%2日").arg(shown.month()).arg(shown.day()));
    SameDayList->clear();
    const QFontMetrics metrics(SameDayList->font());
    // The list's own width: its viewport is laid out only once the window shows.
    const int width = SameDayList->width() - 12;
    const QList<QDate> days = OnThisDay::select(writtenDays(), shown);
    for (const QDate& date : days) {
        const QString key = DiaryDate::key(DiaryDate::fromDate(date));
        const QString heading =
            AccessibleNames::withDetail(AccessibleNames::dayName(date), m_diary.readTitle(key));
        QString body;
        try {
            body = snippet(m_diary.readBody(key));
        } catch (const DiaryError& e) {
            body = e.message();
        }
        auto* item = new QListWidgetItem(heading + QLatin1Char('\n') +
                                             metrics.elidedText(body, Qt::ElideRight, width),
                                         SameDayList);
        item->setData(DateRole, DiaryDate::fromDate(date));
        item->setData(Qt::AccessibleTextRole, AccessibleNames::withDetail(heading, body));
    }
    if (days.isEmpty()) {
        auto* none = new QListWidgetItem(QStringLiteral("ほかの年のこの日の日記はありません。"),
                                         SameDayList);
        none->setFlags(Qt::ItemIsEnabled);
    } else {
        SameDayList->setCurrentRow(0);
    }
}

// The counted days when there are counts: the watcher keeps them up to date. Until the first
// count arrives, the entries folder is listed.
QList<QDate> TLookBackForm::writtenDays() const
{
    if (m_counted)
        return Grid->record().days().keys();
    QList<QDate> days;
    for (const QString& key : m_diary.days().entryKeys())
        days.append(DayStore::dateOfKey(key));
    return days;
}

void TLookBackForm::chooseItem(const QListWidgetItem* item)
{
    if (item && item->data(DateRole).isValid())
        emit dayChosen(item->data(DateRole).toDouble());
}

bool TLookBackForm::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == SameDayList && event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if ((key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter)) {
            // A held key chooses once.
            if (!key->isAutoRepeat())
                chooseItem(SameDayList->currentItem());
            return true;
        }
    }
    return SkinnedForm::eventFilter(watched, event);
}

void TLookBackForm::recordCounted(const DiaryRecord& record)
{
    Grid->setRecord(record);
    m_counted = true;
    gridMoved(Grid->current());
    emit countsShown();
}

void TLookBackForm::gridMoved(const QDate& current)
{
    RecordLabel->setText(QStringLiteral("記録 %1年").arg(current.year()));
    DayLabel->setText(Grid->describe(current));
    showStats();
}

void TLookBackForm::showStats()
{
    if (!m_counted && Grid->record().days().isEmpty())
        return;
    const DiaryRecord& record = Grid->record();
    const DiaryRecord::Totals year = record.year(Grid->year());
    const DiaryRecord::Totals all = record.total();
    QStringList lines;
    lines << QStringLiteral("書いた日 %1年 %2日 / 全部 %3日　　文字数 %1年 %4字 / 全部 %5字")
                 .arg(QString::number(Grid->year()), number(year.days), number(all.days),
                      number(year.characters), number(all.characters));
    lines << streakText(QStringLiteral("いまの連続"), record.current(Grid->today())) +
                 QStringLiteral("　　") +
                 streakText(QStringLiteral("最長の連続"), record.longest());
    if (all.unreadable > 0)
        lines << QStringLiteral("読めない日 %1日 (書いた日に数え、文字数には入れていません)")
                     .arg(number(all.unreadable));
    StatsLabel->setText(lines.join(QLatin1Char('\n')));
}
