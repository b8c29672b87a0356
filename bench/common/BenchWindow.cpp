#include "common/BenchWindow.h"

#include "common/PaintWatcher.h"
#include "windows/MainForm.h"

#include <QCoreApplication>
#include <QEvent>

std::unique_ptr<TForm1> BenchWindow::start(const QString& folder, const Clock& clock)
{
    auto form = std::make_unique<TForm1>(folder, clock);
    if (!form->FormCreate())
        qFatal("start-up failed on %s", qPrintable(folder));
    PaintWatcher::showUntilPainted(*form, *form);
    return form;
}

void BenchWindow::dispose(std::unique_ptr<TForm1>& form)
{
    if (!form)
        return;
    form.reset();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCoreApplication::processEvents();
}
