#include "windows/LookBackFlow.h"

#include "windows/LookBackForm.h"

LookBackFlow::LookBackFlow(QWidget* window, const Skin& skin, const Diary& diary,
                           const DiaryWatcher& watcher, const Clock& clock,
                           std::function<bool()> saveShownDay, std::function<void(double)> showDay)
    : m_window(window), m_skin(skin), m_diary(diary), m_watcher(watcher), m_clock(clock),
      m_saveShownDay(std::move(saveShownDay)), m_showDay(std::move(showDay))
{
}

LookBackFlow::~LookBackFlow() = default;

void LookBackFlow::open(double shownDate)
{
    if (!m_saveShownDay())
        return;
    if (!m_form) {
        m_form = std::make_unique<TLookBackForm>(m_skin, m_diary, m_watcher, m_clock, m_window);
        m_form->placeBeside(m_window->frameGeometry());
        QObject::connect(m_form.get(), &TLookBackForm::dayChosen, m_window, [this](double date) {
            if (m_saveShownDay())
                m_showDay(date);
        });
    }
    m_form->setShownDate(shownDate);
    m_form->show();
    m_form->raise();
    m_form->activateWindow();
}

void LookBackFlow::follow(double shownDate)
{
    if (m_form)
        m_form->setShownDate(shownDate);
}
