#include "windows/LeaveFlow.h"

#include "core/diary/Recovery.h"
#include "widgets/Dialogs.h"

#include <QTextStream>

bool LeaveFlow::leaveAnyway(QWidget* window, const ShownDay::Unsaved& unsaved, bool quitting)
{
    if (quitting) {
        QTextStream(stderr) << "tobiquill: " << unsaved.error << '\n'
                            << Recovery::report(unsaved.recoveryPath, unsaved.recoveryError)
                            << '\n';
        return unsaved.recoveryError.isEmpty();
    }
    Dialogs::error(window, unsaved.error);
    if (!unsaved.recoveryError.isEmpty()) {
        Dialogs::error(window, Recovery::stayMessage(unsaved.recoveryError));
        return false;
    }
    return Dialogs::question(window, Recovery::leaveQuestion(unsaved.recoveryPath));
}
