#pragma once

#include <QString>
#include <functional>

class QWidget;

// The application's standard error box. Tests answer it in advance by installing a handler,
// so that no box ever waits for a click.
class MessageBox
{
public:
    using Handler = std::function<void(const QString&)>;

    static void error(QWidget* parent, const QString& text);

    // Replaces the boxes by the handler; an empty handler brings the real boxes back.
    static void setHandler(Handler handler);
};
