#include "windows/SearchForm.h"

#include "core/diary/Diary.h"
#include "skin/Skin.h"
#include "widgets/AccessibleNames.h"
#include "widgets/Dialogs.h"
#include "widgets/SearchHitDelegate.h"

#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QToolButton>

namespace {
const QString Caption = QStringLiteral("検索");
}

TSearchForm::TSearchForm(const Skin& skin, const Diary& diary, QWidget* parent)
    : SkinnedForm(skin.Image6(), skin.SchemeColors.Face, parent),
      m_engine(diary.days(), diary.titles())
{
    const TSchemeColors& colours = skin.SchemeColors;
    setWindowTitle(Caption);

    Label1 = makeLabel(Caption, QRect(24, 4, 129, 17), colours.BodyText);
    Label1->setAlignment(Qt::AlignCenter);
    makeDragHandle(Label1);
    SpeedButton1 = makeTextButton(QStringLiteral("×"), QRect(154, 4, 19, 17), colours.DateText);
    SpeedButton1->setToolTip(QStringLiteral("閉じる (Esc)"));

    Edit1 = new QLineEdit(this);
    Edit1->setGeometry(12, 24, 157, 20);
    Edit1->setPlaceholderText(QStringLiteral("探す言葉"));

    ListBox1 = new QListWidget(this);
    ListBox1->setGeometry(12, 47, 157, 95);
    ListBox1->setFrameShape(QFrame::NoFrame);
    ListBox1->setFocusPolicy(Qt::ClickFocus);
    ListBox1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    ListBox1->setUniformItemSizes(true);
    ListBox1->setItemDelegate(new SearchHitDelegate(QColor(colours.FrameFill), ListBox1));
    QPalette palette = ListBox1->palette();
    palette.setColor(QPalette::Base, QColor(colours.Face));
    palette.setColor(QPalette::Text, QColor(colours.DateText));
    ListBox1->setPalette(palette);

    for (QWidget* w : {static_cast<QWidget*>(Edit1), static_cast<QWidget*>(ListBox1)})
        w->installEventFilter(this);
    AccessibleNames::apply(this, {{Label1, "Label1"},
                                  {Edit1, "Edit1"},
                                  {ListBox1, "ListBox1"},
                                  {SpeedButton1, "SpeedButton1"}});
    connect(Edit1, &QLineEdit::textChanged, this, &TSearchForm::Edit1Change);
    connect(ListBox1, &QListWidget::itemDoubleClicked, this, &TSearchForm::choose);
    connect(SpeedButton1, &QToolButton::clicked, this, &QDialog::reject);
    connect(&m_engine, &SearchEngine::found, this, &TSearchForm::hitsFound);
    connect(&m_engine, &SearchEngine::finished, this, &TSearchForm::searchFinished);
    Edit1->setFocus();
}

TSearchForm::~TSearchForm() = default;

void TSearchForm::Edit1Change(const QString& query)
{
    ListBox1->clear();
    m_done = false;
    m_enterPending = false;
    Label1->setText(QStringLiteral("検索中…"));
    m_engine.start(query);
}

void TSearchForm::hitsFound(int search, const QList<SearchHit>& hits)
{
    if (search != m_engine.current())
        return;
    // One repaint for the whole batch, not one per row.
    ListBox1->setUpdatesEnabled(false);
    for (const SearchHit& hit : hits) {
        auto* item = new QListWidgetItem(hit.heading, ListBox1);
        item->setData(SearchHitDelegate::DateRole, hit.date);
        item->setData(SearchHitDelegate::LineRole, hit.line);
        item->setData(SearchHitDelegate::MarkStartRole, int(hit.markStart));
        item->setData(SearchHitDelegate::MarkLengthRole, int(hit.markLength));
        item->setToolTip(plainToolTip(hit.line));
        item->setData(Qt::AccessibleTextRole, AccessibleNames::withDetail(hit.heading, hit.line));
    }
    ListBox1->setUpdatesEnabled(true);
    if (ListBox1->currentRow() < 0 && ListBox1->count() > 0)
        ListBox1->setCurrentRow(0);
    if (m_enterPending)
        choose(ListBox1->currentItem());
}

void TSearchForm::searchFinished(int search, const QString& error)
{
    if (search != m_engine.current())
        return;
    m_done = true;
    if (Edit1->text().trimmed().isEmpty())
        Label1->setText(Caption);
    else if (ListBox1->count() == 0)
        Label1->setText(QStringLiteral("見つかりません"));
    else
        Label1->setText(QStringLiteral("%1件").arg(ListBox1->count()));
    if (!error.isEmpty())
        Dialogs::error(this, error);
}

void TSearchForm::choose(const QListWidgetItem* item)
{
    if (!item)
        return;
    m_chosen = item->data(SearchHitDelegate::DateRole).toDouble();
    accept();
}

bool TSearchForm::eventFilter(QObject* watched, QEvent* event)
{
    if ((watched == Edit1 || watched == ListBox1) && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            if (ListBox1->count() == 0 && !m_done)
                m_enterPending = true;
            else
                choose(ListBox1->currentItem());
            return true;
        }
        // The list is walked from the query line, so typing and choosing need no mouse.
        if (watched == Edit1 && (key == Qt::Key_Up || key == Qt::Key_Down) && ListBox1->count()) {
            const int row = ListBox1->currentRow() + (key == Qt::Key_Down ? 1 : -1);
            ListBox1->setCurrentRow(std::clamp(row, 0, ListBox1->count() - 1));
            return true;
        }
    }
    return SkinnedForm::eventFilter(watched, event);
}
