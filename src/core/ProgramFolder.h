#pragma once

#include <QString>

// Where the diary lives. A diary brought along beside the program (diary.ini or data in the
// program's own folder) stays there; otherwise it lives in the user's data folder, since an
// installed program's folder is not writable and a build folder does not last.
class ProgramFolder
{
public:
    // home: the TOBIQUILL_HOME override (wins when not empty); appDir: the running program's
    // folder; userDataDir: the per-user data folder.
    static QString resolve(const QString& home, const QString& appDir, const QString& userDataDir);
};
