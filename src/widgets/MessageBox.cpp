#include "widgets/MessageBox.h"

#include <QApplication>
#include <QMessageBox>

namespace {
MessageBox::Handler& installedHandler()
{
    static MessageBox::Handler handler;
    return handler;
}
} // namespace

void MessageBox::error(QWidget* parent, const QString& text)
{
    if (installedHandler()) {
        installedHandler()(text);
        return;
    }
    QMessageBox::critical(parent, QApplication::applicationDisplayName(), text);
}

void MessageBox::setHandler(Handler handler)
{
    installedHandler() = std::move(handler);
}
