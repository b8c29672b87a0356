#pragma once

#include <QString>
#include <functional>

class QWidget;

// The application's standard message boxes. Tests answer them in advance by installing a
// handler, so that no box ever waits for a click.
class MessageBox
{
public:
    enum class Kind
    {
        Error,
        Information
    };
    using Handler = std::function<void(Kind, const QString&)>;

    static void error(QWidget* parent, const QString& text);
    static void information(QWidget* parent, const QString& text);

    // Replaces the boxes by the handler; an empty handler brings the real boxes back.
    static void setHandler(Handler handler);

private:
    static void show(QWidget* parent, Kind kind, const QString& text);
};
