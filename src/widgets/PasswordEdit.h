#pragma once

#include <QLineEdit>

// A password edit: at most eight characters, each shown as "*", and no input method. A password
// is typed key by key; an input method would show it while composing and keep it in its
// history.
class PasswordEdit : public QLineEdit
{
    Q_OBJECT

public:
    explicit PasswordEdit(QWidget* parent = nullptr);

    QVariant inputMethodQuery(Qt::InputMethodQuery query) const override;
};
