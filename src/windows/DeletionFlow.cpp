#include "windows/DeletionFlow.h"

#include "core/diary/Diary.h"
#include "core/diary/ShownDay.h"
#include "core/time/DiaryDate.h"
#include "widgets/Dialogs.h"

#include <QMenu>

DeletionFlow::DeletionFlow(QWidget* window, Diary& diary, ShownDay& day)
    : m_window(window), m_diary(diary), m_day(day)
{
}

void DeletionFlow::addToMenu(QMenu& menu, QWidget* window, const std::function<Diary*()>& diary,
                             const std::function<ShownDay*()>& day)
{
    QAction* item = menu.addAction(QStringLiteral("この日を削除..."));
    QObject::connect(item, &QAction::triggered, window, [=] {
        if (diary() && day())
            DeletionFlow(window, *diary(), *day()).run();
    });
    QObject::connect(&menu, &QMenu::aboutToShow, item, [=] {
        item->setEnabled(diary() && day() && diary()->hasEntry(day()->date()));
    });
}

void DeletionFlow::run()
{
    Dialogs::guard(m_window, [this] {
        m_day.save();
        const QString key = DiaryDate::key(m_day.date());
        if (m_diary.hasEntry(key) &&
            Dialogs::confirm(m_window, m_diary.deleteQuestion(key), QStringLiteral("削除(&D)")))
            m_day.deleteDay();
    });
}
