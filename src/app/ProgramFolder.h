#pragma once

#include <QString>

// Where the diary lives. A diary brought along beside the program (diary.ini or data in the
// program's own folder) stays there; otherwise it lives in the user's data folder, since an
// installed program's folder is not writable and a build folder does not last. An installed
// program never looks beside itself.
class ProgramFolder
{
public:
    // home: the --diary or TOBIQUILL_HOME folder (wins when not empty); appDir: the running
    // program's folder; userDataDir: the per-user data folder.
    static QString resolve(const QString& home, const QString& appDir, const QString& userDataDir);

    // True when the program in appDir is an installed one: its desktop entry lies in
    // ../share/applications beside that folder, where `cmake --install` and the package put it.
    static bool isInstalled(const QString& appDir);
};
