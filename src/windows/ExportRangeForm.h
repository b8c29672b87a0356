#pragma once

#include "widgets/SkinnedForm.h"

#include <QDate>

class QCheckBox;
class QDateEdit;
class Skin;

// Which days an export takes: the whole diary (the default), or the days from one date to
// another. OK, or Enter, ends it with result 1.
class ExportRangeForm : public SkinnedForm
{
    Q_OBJECT

public:
    ExportRangeForm(const Skin& skin, const QDate& shown, QWidget* parent = nullptr);

    QCheckBox* Whole = nullptr;
    QDateEdit* From = nullptr;
    QDateEdit* To = nullptr;
    QToolButton* Cancel = nullptr;
    QToolButton* Ok = nullptr;

    // Invalid dates for the whole diary.
    QDate from() const;
    QDate to() const;

protected:
    void keyPressEvent(QKeyEvent* event) override;
};
