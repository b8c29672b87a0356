#pragma once

#include <QFont>
#include <QString>
#include <functional>
#include <optional>

class QDialog;
class QWidget;

// Every modal dialog of the program goes through here: the standard boxes, the toolkit's
// dialogs and the program's own modal windows. Tests install answers in advance (seams()), so
// that nothing ever waits for a click; an empty answer brings the real dialog back.
class Dialogs
{
public:
    struct Seams
    {
        std::function<void(const QString& text)> error;
        std::function<void(const QString& caption, const QString& text)> information;
        // No value means cancelled.
        std::function<std::optional<QFont>(const QFont& current)> font;
        std::function<std::optional<QString>(const QString& title)> openPicture;
        // A file to write: the path chosen, or no value when cancelled.
        std::function<std::optional<QString>(const QString& title, const QString& suggested)>
            saveFile;
        // Another diary's export to read, a file or a folder; no value when cancelled.
        std::function<std::optional<QString>(const QString& title)> openExport;
        // A yes/no question; true means yes.
        std::function<bool(const QString& text)> question;
        // The question before a command that cannot be undone; true means go ahead.
        std::function<bool(const QString& text)> confirm;
        // Runs a modal window and returns its result code (1 = confirmed).
        std::function<int(QDialog& dialog)> exec;
    };
    static Seams& seams();
    static void resetSeams();

    // The application's standard error box.
    static void error(QWidget* parent, const QString& text);
    // An information box with the one button "はい(&Y)".
    static void information(QWidget* parent, const QString& caption, const QString& text);
    // A warning with the buttons "はい(&Y)" and "いいえ(&N)", "いいえ" the default; true for yes.
    static bool question(QWidget* parent, const QString& text);
    // A warning before a command that cannot be undone, with the buttons go (the command's name)
    // and "キャンセル", "キャンセル" the default and Escape; true for go.
    static bool confirm(QWidget* parent, const QString& text, const QString& go);
    static std::optional<QFont> chooseFont(QWidget* parent, const QFont& current);
    // The picture-open dialog: a bitmap file's full path, or no value when cancelled.
    static std::optional<QString> openPicture(QWidget* parent, const QString& title);
    // The toolkit's save dialog, which asks before it names an existing file: the full path, or
    // no value when cancelled. filter lists the kinds offered, as QFileDialog takes them.
    static std::optional<QString> saveFile(QWidget* parent, const QString& title,
                                           const QString& suggested, const QString& filter);
    // Asks whether the export is a file or a folder, then for it with the toolkit's dialog: the
    // full path, or no value when cancelled.
    static std::optional<QString> openExport(QWidget* parent, const QString& title);
    static int exec(QDialog& dialog);

    // Runs a user command. Whatever it throws is shown in the error box and reported as false:
    // no exception ever leaves an event handler.
    static bool guard(QWidget* parent, const std::function<void()>& command);
};
