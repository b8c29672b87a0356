#include "app/SessionEnd.h"

#include "app/QuitSignals.h"

#include <QGuiApplication>
#include <QSessionManager>

SessionEnd::SessionEnd(QObject* parent, std::function<bool()> commit, std::function<bool()> quit)
    : QObject(parent), m_commit(std::move(commit)), m_quit(std::move(quit))
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
    const bool closed = m_quit();
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
