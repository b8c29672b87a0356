#include "windows/TaskProgressForm.h"

#include "skin/Skin.h"
#include "widgets/Dialogs.h"
#include "widgets/DiaryJob.h"

#include <QApplication>
#include <QLabel>
#include <QProgressBar>
#include <QToolButton>

TaskProgressForm::TaskProgressForm(const Skin& skin, const QString& caption, DiaryJob& job,
                                   QWidget* parent)
    : SkinnedForm(skin.Image6(), QApplication::palette().color(QPalette::Window).rgb(), parent),
      m_job(job)
{
    setWindowTitle(caption);
    const TSchemeColors& c = skin.SchemeColors;
    Caption = makeLabel(caption, QRect(12, 30, 156, 17), c.BodyText);
    Caption->setAlignment(Qt::AlignCenter);
    Bar = new QProgressBar(this);
    Bar->setGeometry(QRect(12, 60, 156, 16));
    Bar->setRange(0, 1000);
    Bar->setValue(0);
    Bar->setTextVisible(false);
    Bar->setStyleSheet(
        QStringLiteral("QProgressBar { border: 1px solid %1; background: %2; }"
                       "QProgressBar::chunk { background: %3; }")
            .arg(QColor(c.BoxBorder).name(), QColor(c.BoxFill).name(), QColor(c.DateText).name()));
    Stop = makeTextButton(QStringLiteral("中止"), QRect(66, 110, 47, 25), c.DateText);
    connect(Stop, &QToolButton::clicked, this, &TaskProgressForm::reject);
    connect(&job, &DiaryJob::progressed, this, [this](qint64 done, qint64 total) {
        if (total > 0)
            Bar->setValue(int(std::clamp<qint64>(done * 1000 / total, 0, 1000)));
    });
    connect(&job, &DiaryJob::finished, this, [this](const QString& error, bool cancelled) {
        m_error = cancelled ? QString() : error;
        QDialog::done(error.isEmpty() && !cancelled ? 1 : 0);
    });
}

void TaskProgressForm::showEvent(QShowEvent* event)
{
    SkinnedForm::showEvent(event);
    if (!m_started && Stop->isEnabled())
        m_job.start();
    m_started = true;
}

void TaskProgressForm::reject()
{
    Stop->setEnabled(false);
    Caption->setText(QStringLiteral("中止しています..."));
    // A job not started yet has nothing to stop.
    if (!m_started)
        QDialog::done(0);
    m_job.cancel();
}

bool TaskProgressForm::run(const Skin& skin, const QString& caption, DiaryJob& job, QWidget* parent)
{
    TaskProgressForm progress(skin, caption, job, parent);
    progress.centreOver(parent->geometry());
    if (Dialogs::exec(progress) == 1)
        return true;
    if (!progress.error().isEmpty())
        Dialogs::error(parent, progress.error());
    return false;
}
