#include "widgets/PasswordEdit.h"

#include <QAccessible>

namespace {
// The toolkit's line edit tells a screen reader every character inserted, removed or replaced,
// password or not. While a password edit exists, its text changes are rewritten on their way.
int liveEdits = 0;
QAccessible::UpdateHandler previousHandler = nullptr;

void maskPasswords(QAccessibleEvent* event);

// To the handler that was there before, or to the screen reader's bridge, which takes the events
// when no handler is installed.
void pass(QAccessibleEvent* event)
{
    if (previousHandler) {
        previousHandler(event);
        return;
    }
    QAccessible::installUpdateHandler(nullptr);
    QAccessible::updateAccessibility(event);
    QAccessible::installUpdateHandler(maskPasswords);
}

QString masked(const QString& text)
{
    return QString(text.size(), u'*');
}

// An insertion or a removal, its text masked.
template <typename Change>
void passMasked(PasswordEdit* edit, const Change* change, QString (Change::*text)() const)
{
    Change safe(edit, change->changePosition(), masked((change->*text)()));
    pass(&safe);
}

void maskPasswords(QAccessibleEvent* event)
{
    auto* edit = qobject_cast<PasswordEdit*>(event->object());
    if (!edit || edit->echoMode() == QLineEdit::Normal) {
        pass(event);
        return;
    }
    switch (event->type()) {
    case QAccessible::TextInserted:
        passMasked(edit, static_cast<QAccessibleTextInsertEvent*>(event),
                   &QAccessibleTextInsertEvent::textInserted);
        break;
    case QAccessible::TextRemoved:
        passMasked(edit, static_cast<QAccessibleTextRemoveEvent*>(event),
                   &QAccessibleTextRemoveEvent::textRemoved);
        break;
    case QAccessible::TextUpdated: {
        const auto* updated = static_cast<QAccessibleTextUpdateEvent*>(event);
        QAccessibleTextUpdateEvent safe(edit, updated->changePosition(),
                                        masked(updated->textRemoved()),
                                        masked(updated->textInserted()));
        pass(&safe);
        break;
    }
    case QAccessible::ValueChanged: {
        const auto* changed = static_cast<QAccessibleValueChangeEvent*>(event);
        QAccessibleValueChangeEvent safe(edit, masked(changed->value().toString()));
        pass(&safe);
        break;
    }
    default:
        pass(event);
    }
}
} // namespace

PasswordEdit::PasswordEdit(QWidget* parent, int maxLength) : QLineEdit(parent)
{
    if (liveEdits++ == 0)
        previousHandler = QAccessible::installUpdateHandler(maskPasswords);
    setMaxLength(maxLength);
    setEchoMode(QLineEdit::Password);
    setStyleSheet(QStringLiteral("QLineEdit { lineedit-password-character: 42; }"));
    setAttribute(Qt::WA_InputMethodEnabled, false);
    setInputMethodHints(Qt::ImhHiddenText | Qt::ImhSensitiveData | Qt::ImhNoPredictiveText);
}

PasswordEdit::~PasswordEdit()
{
    if (--liveEdits == 0)
        QAccessible::installUpdateHandler(previousHandler);
}

// The line edit answers "enabled" whenever it is editable, whatever the widget attribute says;
// the input method asks this before it connects to the focused control.
QVariant PasswordEdit::inputMethodQuery(Qt::InputMethodQuery query) const
{
    if (query == Qt::ImEnabled)
        return false;
    return QLineEdit::inputMethodQuery(query);
}
