#include "windows/CalendarForm.h"

#include "core/diary/Diary.h"
#include "core/time/DiaryDate.h"
#include "skin/Skin.h"
#include "widgets/AccessibleNames.h"
#include "widgets/CalendarR.h"

#include <QKeyEvent>
#include <QLabel>
#include <QToolButton>

TForm2::TForm2(const Skin& skin, const Diary& diary, const Clock& clock, QWidget* parent)
    : SkinnedForm(skin.Image6(), skin.SchemeColors.Face, parent), m_diary(diary)
{
    setWindowTitle(QStringLiteral("calendar"));
    const TSchemeColors& c = skin.SchemeColors;

    Label1 = makeLabel(QString(), QRect(24, 4, 129, 17), c.BodyText);
    Label1->setAlignment(Qt::AlignCenter);
    makeDragHandle(Label1);

    // The grid copies its font into the bold day font as it is made: the window's font first.
    Calendar1 = new TCalendarR(clock, this);
    Calendar1->setGeometry(12, 32, 161, 84);
    Calendar1->setFixedColor(c.FrameFill);
    Calendar1->setCellColor(c.Face);
    Calendar1->setFontColor(c.DateText);
    Calendar1->boldDayFont.color = c.DateText;
    Calendar1->hasEntryTest = [&diary](double date) { return diary.hasEntry(date); };

    SpeedButton2 = makePictureButton(skin.Image4, QRect(10, 118, 27, 25));
    SpeedButton3 = makeTextButton(QStringLiteral("OK"), QRect(66, 118, 47, 25), c.DateText);
    SpeedButton1 = makePictureButton(skin.Image2, QRect(144, 118, 27, 25));
    setFocusProxy(Calendar1);
    AccessibleNames::apply(this, {{Label1, "Label1"},
                                  {Calendar1, "Calendar1"},
                                  {SpeedButton2, "SpeedButton2"},
                                  {SpeedButton3, "SpeedButton3"},
                                  {SpeedButton1, "SpeedButton1"}});

    // Key preview: Enter confirms wherever the focus is.
    Calendar1->installEventFilter(this);
    connect(Calendar1, &TCalendar::OnChange, this, &TForm2::Calendar11Change);
    connect(SpeedButton2, &QToolButton::clicked, this, [this] { Calendar1->StepMonth(-1); });
    connect(SpeedButton1, &QToolButton::clicked, this, [this] { Calendar1->StepMonth(1); });
    connect(SpeedButton3, &QToolButton::clicked, this, &TForm2::SpeedButton3Click);
}

// Month browsing of an earlier showing is not kept: every showing starts on the shown day.
void TForm2::showEvent(QShowEvent* event)
{
    Calendar1->SetSelectedDate(ShownDate);
    SkinnedForm::showEvent(event);
    Calendar1->setFocus();
}

void TForm2::Calendar11Change()
{
    const double date = Calendar1->selectedDate();
    Label1->setText(DiaryDate::dateLine(date));
    Calendar1->setToolTip(plainToolTip(m_diary.readTitle(DiaryDate::key(date))));
}

void TForm2::SpeedButton3Click()
{
    m_chosenDate = Calendar1->selectedDate();
    done(1);
}

namespace {
// Enter comes up once, when it is let go; a held key's repeats come up too, and are not it.
bool isEnter(const QEvent* event)
{
    if (event->type() != QEvent::KeyRelease)
        return false;
    const auto* key = static_cast<const QKeyEvent*>(event);
    return (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) && !key->isAutoRepeat();
}
} // namespace

bool TForm2::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == Calendar1 && isEnter(event)) {
        SpeedButton3Click();
        return true;
    }
    return SkinnedForm::eventFilter(watched, event);
}

void TForm2::keyReleaseEvent(QKeyEvent* event)
{
    if (isEnter(event))
        SpeedButton3Click();
    else
        SkinnedForm::keyReleaseEvent(event);
}
