#include "widgets/AutoSave.h"

#include <exception>

AutoSave::AutoSave(QObject* parent, std::function<void()> save)
    : QObject(parent), m_save(std::move(save))
{
    m_timer.setSingleShot(true);
    m_timer.setInterval(PauseMs);
    connect(&m_timer, &QTimer::timeout, this, &AutoSave::saveNow);
}

void AutoSave::touched()
{
    m_timer.start();
}

void AutoSave::stop()
{
    m_timer.stop();
}

void AutoSave::saveNow()
{
    try {
        m_save();
    } catch (const std::exception&) {
        // Reported by the next change of day or close; see the class comment.
    }
}
