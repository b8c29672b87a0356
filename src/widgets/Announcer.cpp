#include "widgets/Announcer.h"

#include <QAccessibleWidget>

namespace {
QAccessibleInterface* makeAnnouncerAccessible(const QString& className, QObject* object)
{
    if (className == QLatin1String("Announcer"))
        return new QAccessibleWidget(static_cast<QWidget*>(object), QAccessible::Notification);
    return nullptr;
}
} // namespace

Announcer::Announcer(QWidget* parent) : QWidget(parent)
{
    static const bool installed = [] {
        QAccessible::installFactory(makeAnnouncerAccessible);
        return true;
    }();
    Q_UNUSED(installed);
    setFocusPolicy(Qt::NoFocus);
    setGeometry(0, 0, 0, 0);
    hide();
}

void Announcer::say(const QString& text)
{
    hide();
    setAccessibleName(text);
    if (parentWidget()->isVisible())
        show();
}
