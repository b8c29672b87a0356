#include "widgets/PasswordEdit.h"

PasswordEdit::PasswordEdit(QWidget* parent) : QLineEdit(parent)
{
    setMaxLength(8);
    setEchoMode(QLineEdit::Password);
    setStyleSheet(QStringLiteral("QLineEdit { lineedit-password-character: 42; }"));
    setAttribute(Qt::WA_InputMethodEnabled, false);
    setInputMethodHints(Qt::ImhHiddenText | Qt::ImhSensitiveData | Qt::ImhNoPredictiveText);
}

// The line edit answers "enabled" whenever it is editable, whatever the widget attribute says;
// the input method asks this before it connects to the focused control.
QVariant PasswordEdit::inputMethodQuery(Qt::InputMethodQuery query) const
{
    if (query == Qt::ImEnabled)
        return false;
    return QLineEdit::inputMethodQuery(query);
}
