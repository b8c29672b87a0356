#include "widgets/AccessibleNames.h"

#include "widgets/LineEditAccessible.h"

#include <QAccessibleWidget>
#include <QDate>
#include <QLocale>
#include <QTextDocumentFragment>
#include <QWidget>

namespace {
struct Entry
{
    const char* window;
    // Empty for the window itself.
    const char* object;
    const char* name;
    const char* description;
};

// Per window in Tab order. A label that shows text keeps its text as its name, so that a change
// of the text (the shown date) is a change of name the screen reader hears; it gets only a
// description here.
constexpr Entry Names[] = {
    {"TForm1", "Label1", nullptr, "表示中の日付"},
    {"TForm1", "Edit1", "題名", "その日の題名"},
    {"TForm1", "Memo1", "本文",
     "その日の日記。Tabはタブ文字を入れる。Ctrl+TabとCtrl+Shift+Tabで本文から出る"},
    {"TForm1", "Yl", "前の日", "Ctrl+,"},
    {"TForm1", "today", "今日", "Ctrl+T"},
    {"TForm1", "Yr", "次の日", "Ctrl+."},
    {"TForm1", "cal", "カレンダー", "Ctrl+K"},
    {"TForm1", "SpeedButton1", "メニュー", nullptr},
    {"TForm1", "SpeedButton5", "最小化", nullptr},
    {"TForm1", "SpeedButton6", "閉じる", nullptr},

    {"TForm2", "", "カレンダー", nullptr},
    {"TForm2", "Label1", nullptr, "選んでいる日付"},
    {"TForm2", "Calendar1", "日付", nullptr},
    {"TForm2", "SpeedButton2", "前の月", nullptr},
    {"TForm2", "SpeedButton3", "OK", "選んだ日を表示"},
    {"TForm2", "SpeedButton1", "次の月", nullptr},

    {"TForm4", "", "設定", nullptr},
    {"TForm4", "Edit1", "名前", nullptr},
    {"TForm4", "Edit2", "パスワード", nullptr},
    {"TForm4", "CB1", "パスワードを使う", "起動時にパスワードを聞く"},
    {"TForm4", "Encrypted", nullptr, "パスワードの代わり"},
    {"TForm4", "Encryption", "暗号化...", "暗号化の窓を開く"},
    {"TForm4", "Labelsc", nullptr, "スキーム画像のファイル"},
    {"TForm4", "SpeedButton1", "スキーム画像を選ぶ", nullptr},
    {"TForm4", "Labelbu", nullptr, "ボタン画像のファイル"},
    {"TForm4", "SpeedButton2", "ボタン画像を選ぶ", nullptr},
    {"TForm4", "SpeedButton3", "OK", "設定を決める"},

    {"TForm5", "", "パスワード", nullptr},
    {"TForm5", "Edit2", "パスワード", nullptr},
    {"TForm5", "Passphrase", "パスフレーズか回復コード", nullptr},
    {"TForm5", "SpeedButton1", "キャンセル", "終了する"},
    {"TForm5", "SpeedButton3", "OK", nullptr},

    {"TEncryptionForm", "", "暗号化", nullptr},
    {"TEncryptionForm", "About", nullptr, "説明"},
    {"TEncryptionForm", "Current", "今のパスフレーズ", nullptr},
    {"TEncryptionForm", "New", "新しいパスフレーズ", nullptr},
    {"TEncryptionForm", "Again", "新しいパスフレーズをもう一度", nullptr},
    {"TEncryptionForm", "TurnOn", "暗号化する", nullptr},
    {"TEncryptionForm", "Change", "パスフレーズを変える", nullptr},
    {"TEncryptionForm", "Code", "回復コード", "選んでコピーできる"},
    {"TEncryptionForm", "Written", "書き留めました", nullptr},
    {"TEncryptionForm", "NewCode", "回復コードを作り直す", "今の回復コードは使えなくなる"},
    {"TEncryptionForm", "TurnOff", "暗号化をやめる", nullptr},
    {"TEncryptionForm", "Rekey", "鍵を作り直す", "すべての日を新しい鍵で暗号化し直す"},
    {"TEncryptionForm", "Status", nullptr, "結果"},
    {"TEncryptionForm", "SpeedButton1", "閉じる", "Esc"},

    {"TSearchForm", "", "検索", nullptr},
    {"TSearchForm", "Label1", nullptr, "検索の状況"},
    {"TSearchForm", "Edit1", "探す言葉", "上下の矢印キーで結果を選び、Enterで表示"},
    {"TSearchForm", "ListBox1", "検索結果", nullptr},
    {"TSearchForm", "SpeedButton1", "閉じる", "Esc"},

    {"TLookBackForm", "", "振り返り", nullptr},
    {"TLookBackForm", "SameDayLabel", nullptr, "表示中の日付"},
    {"TLookBackForm", "SameDayList", "ほかの年のこの日", "Enterでその日を表示"},
    {"TLookBackForm", "PrevYear", "前の年", nullptr},
    {"TLookBackForm", "RecordLabel", nullptr, "記録の年"},
    {"TLookBackForm", "NextYear", "次の年", nullptr},
    {"TLookBackForm", "Grid", "一年の記録",
     "矢印キーで日を、Page Up と Page Down で年を移り、Enterでその日を表示"},
    {"TLookBackForm", "DayLabel", nullptr, "選んでいる日"},
    {"TLookBackForm", "StatsLabel", nullptr, "書いた日、文字数、連続"},
    {"TLookBackForm", "SpeedButton1", "閉じる", "Esc"},
};

QAccessibleInterface* makeWindowAccessible(const QString& className, QObject* object)
{
    auto* widget = qobject_cast<QWidget*>(object);
    if (className == QLatin1String("QWidget") && widget && widget->isWindow())
        return new QAccessibleWidget(widget, QAccessible::Window);
    return nullptr;
}

const QLocale& japanese()
{
    static const QLocale locale(QLocale::Japanese, QLocale::Japan);
    return locale;
}
} // namespace

void AccessibleNames::installInterfaces()
{
    static const bool installed = [] {
        LineEditAccessible::install();
        QAccessible::installFactory(makeWindowAccessible);
        return true;
    }();
    Q_UNUSED(installed);
}

void AccessibleNames::apply(QWidget* window, Controls controls)
{
    installInterfaces();
    for (const auto& [widget, objectName] : controls)
        widget->setObjectName(QLatin1String(objectName));
    const QByteArray windowClass = window->metaObject()->className();
    QWidget* first = nullptr;
    QWidget* previous = nullptr;
    for (const Entry& entry : Names) {
        if (windowClass != entry.window)
            continue;
        QWidget* widget =
            *entry.object ? window->findChild<QWidget*>(QLatin1String(entry.object)) : window;
        if (!widget)
            continue;
        if (entry.name)
            widget->setAccessibleName(QString::fromUtf8(entry.name));
        if (entry.description)
            widget->setAccessibleDescription(QString::fromUtf8(entry.description));
        if (widget == window || !(widget->focusPolicy() & Qt::TabFocus))
            continue;
        if (previous)
            QWidget::setTabOrder(previous, widget);
        else
            first = widget;
        previous = widget;
    }
    // Where the window's Tab order starts is where its focus starts.
    if (first && !window->focusWidget())
        first->setFocus();
}

QString AccessibleNames::dayName(const QDate& date)
{
    return QStringLiteral("%1年%2月%3日 %4")
        .arg(date.year())
        .arg(date.month())
        .arg(date.day())
        .arg(weekdayName(date.dayOfWeek()));
}

QString AccessibleNames::weekdayName(int weekday)
{
    return japanese().dayName(weekday, QLocale::LongFormat);
}

QString AccessibleNames::dayNotes(bool today, bool hasEntry)
{
    QStringList notes;
    if (today)
        notes << QStringLiteral("今日");
    if (hasEntry)
        notes << QStringLiteral("日記あり");
    return notes.join(QStringLiteral("、"));
}

QString AccessibleNames::withDetail(const QString& text, const QString& detail)
{
    return detail.isEmpty() ? text : QStringLiteral("%1、%2").arg(text, detail);
}

QString AccessibleNames::dayShown(const QString& dateLine, const QString& title)
{
    return title.isEmpty() ? dateLine : QStringLiteral("%1 — %2").arg(dateLine, title);
}

QString AccessibleNames::plain(const QString& text)
{
    return Qt::mightBeRichText(text) ? QTextDocumentFragment::fromHtml(text).toPlainText() : text;
}
