#include "core/Clock.h"
#include "core/ProgramFolder.h"
#include "core/SafeFile.h"
#include "widgets/SessionEnd.h"
#include "widgets/SingleWindow.h"
#include "windows/MainForm.h"

#include <QApplication>
#include <QStandardPaths>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("tobiquill"));
    QApplication::setApplicationDisplayName(QStringLiteral("Tobiquill"));

    const QString folder = ProgramFolder::resolve(
        qEnvironmentVariable("TOBIQUILL_HOME"), QCoreApplication::applicationDirPath(),
        QStandardPaths::writableLocation(QStandardPaths::AppDataLocation));
    SafeFile::makeFolder(folder);

    TForm1 form(folder, Clock::system());
    if (!form.FormCreate()) {
        // A diary open in another copy: its window comes forward, and this start was no failure.
        return SingleWindow::bringForward(folder) ? 0 : 1;
    }
    const SingleWindow single(folder, &form);
    const SessionEnd sessionEnd(&form, [&form] { return !form.diary() || form.FormClose(); });
    form.show();
    return QApplication::exec();
}
