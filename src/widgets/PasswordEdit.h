#pragma once

#include <QLineEdit>

// A password edit: at most maxLength characters (the settings' password holds eight), each shown
// as "*", and no input method. A password
// is typed key by key; an input method would show it while composing and keep it in its
// history. A screen reader learns nothing of it but its length: every text change it is told
// of carries one "*" per character (the field's accessible text, LineEditAccessible, does the
// same), whatever the toolkit puts into the change.
class PasswordEdit : public QLineEdit
{
    Q_OBJECT

public:
    explicit PasswordEdit(QWidget* parent = nullptr, int maxLength = 8);
    ~PasswordEdit() override;

    QVariant inputMethodQuery(Qt::InputMethodQuery query) const override;
};
