#pragma once

#include <QString>
#include <QStringList>

// Where this user's running copies of the program meet: the diary locks, and the sockets through
// which a second start brings an open window forward. Another user must neither take the folder
// nor listen in it, and every copy the user starts, from the desktop, a terminal, ssh or su, must
// find the same one, or two copies could open one diary. So it is the first of these that only
// the user can have made (a real folder, not a link, owned by the user, open to nobody else):
//   - the session's runtime folder ($XDG_RUNTIME_DIR), held in memory;
//   - the login runtime folder (/run/user/UID), which that is on a systemd desktop, for a session
//     that names none, or names another user's after su;
//   - ~/.cache in the home folder, on a machine with no runtime folder at all.
// Never a shared temporary folder: another user could make the name first.
class RuntimeFolder
{
public:
    // The program's folder in the first private place, made 0700 when missing; empty when no
    // place is private.
    static QString path();
    // The same from the places given, in order, and the home folder.
    static QString choose(const QStringList& runtimeFolders, const QString& home);

    // The file in the program's folder for the diary in folder, with this ending: the same for
    // every path that reaches the diary folder; empty when there is no private folder.
    static QString fileFor(const QString& folder, const QString& ending);
};
