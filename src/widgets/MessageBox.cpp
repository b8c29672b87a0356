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
    show(parent, Kind::Error, text);
}

void MessageBox::information(QWidget* parent, const QString& text)
{
    show(parent, Kind::Information, text);
}

void MessageBox::setHandler(Handler handler)
{
    installedHandler() = std::move(handler);
}

void MessageBox::show(QWidget* parent, Kind kind, const QString& text)
{
    if (installedHandler()) {
        installedHandler()(kind, text);
        return;
    }
    const QString title = QApplication::applicationDisplayName();
    if (kind == Kind::Error)
        QMessageBox::critical(parent, title, text);
    else
        QMessageBox::information(parent, title, text);
}
