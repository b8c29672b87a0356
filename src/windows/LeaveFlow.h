#pragma once

#include "core/diary/ShownDay.h"

class QWidget;

// Leaving when the shown day could not be saved: the unsaved title and body are in a recovery
// file already when it could be written; then the user may leave without saving. When no folder
// took them, the window stays open with them, to be copied or saved later.
class LeaveFlow
{
public:
    // Whether the window may close. On a quit signal (quitting) nobody is asked: the program
    // ends unless the text could be kept nowhere, and the reasons go to standard error.
    static bool leaveAnyway(QWidget* window, const ShownDay::Unsaved& unsaved, bool quitting);
};
