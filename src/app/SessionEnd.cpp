#include "app/SessionEnd.h"

#include "app/QuitSignals.h"

#include <QGuiApplication>
#include <QSessionManager>
#include <QWidget>

SessionEnd::SessionEnd(QWidget* window, std::function<bool()> commit)
    : QObject(window), m_window(window), m_commit(std::move(commit))
{
    auto* signals_ = new QuitSignals(this);
    connect(signals_, &QuitSignals::received, this, &SessionEnd::closeWindow);
#ifndef QT_NO_SESSIONMANAGER
    connect(qGuiApp, &QGuiApplication::commitDataRequest, this, &SessionEnd::commitData);
#endif
}

bool SessionEnd::closeWindow()
{
    if (m_closing)
        return false;
    m_closing = true;
    const bool closed = m_window->close();
    m_closing = false;
    return closed;
}

void SessionEnd::commitData(QSessionManager& manager)
{
#ifndef QT_NO_SESSIONMANAGER
    if (!m_commit() && manager.allowsInteraction())
        manager.cancel();
#else
    Q_UNUSED(manager);
#endif
}
