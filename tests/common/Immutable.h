#pragma once

#include "core/storage/SafeFile.h"

#include <QFileInfo>
#include <QProcess>
#include <QString>
#include <QtGlobal>

#include <cerrno>

// Marks a file or folder immutable (chattr +i), which stops every write to it, root's included:
// the permission bits stop nobody when the tests run as root. Where the flag cannot be set (a
// file system without it, a container without the capability) the saves' fault seam plays the
// flag: nothing may be created in or removed from such a folder (EPERM), nothing renamed over or
// removed as such a file. Either way the test runs; a warning says which.
class Immutable
{
public:
    explicit Immutable(QString path) : m_path(std::move(path))
    {
        if (run("+i")) {
            m_state = State::Set;
            return;
        }
        qWarning("chattr +i failed on %s: the immutable flag is played by the save seam",
                 qPrintable(m_path));
        const QString target = m_path;
        const bool folder = QFileInfo(m_path).isDir();
        SafeFile::faultHook() = [target, folder](SafeFile::Step step, const QString& path) {
            const bool changes = step == SafeFile::Step::Commit || step == SafeFile::Step::Remove;
            if (folder && path.startsWith(target + QLatin1Char('/')) &&
                (changes || step == SafeFile::Step::Create))
                return EPERM;
            return !folder && path == target && changes ? EPERM : 0;
        };
        m_state = State::Played;
    }
    ~Immutable() { lift(); }
    Immutable(const Immutable&) = delete;
    Immutable& operator=(const Immutable&) = delete;

    void lift()
    {
        if (m_state == State::Set)
            run("-i");
        else if (m_state == State::Played)
            SafeFile::faultHook() = {};
        m_state = State::Lifted;
    }

private:
    enum class State
    {
        Set,
        Played,
        Lifted,
    };

    bool run(const char* flag) const
    {
        return QProcess::execute(QStringLiteral("chattr"), {QLatin1String(flag), m_path}) == 0;
    }

    QString m_path;
    State m_state = State::Lifted;
};
