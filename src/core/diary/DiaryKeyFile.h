#pragma once

#include "core/storage/KeyFile.h"

#include <QString>
#include <optional>

// Where an encrypted diary keeps its key file, diary.key beside diary.ini, and how it is read:
// a sync peer may place anything at its path, so only a regular file of the user's own, no
// larger than any key file, is taken.
class DiaryKeyFile
{
public:
    static constexpr qint64 MaxBytes = 64 * 1024;

    static QString path(const QString& programFolder);
    // Whether anything stands at the path: a link or a folder there makes the diary one that
    // cannot be opened, never a plain one.
    static bool exists(const QString& programFolder);
    // The diary's key file; no value when it has none. Throws a DiaryError when what stands
    // there cannot be read or is no key file.
    static std::optional<KeyFile> read(const QString& programFolder);
    // The key file at path (the diary's own, or a sync tool's copy of it).
    static KeyFile readAt(const QString& path);
    // Moves a key file that failed verification (the diary's own, or a sync tool's copy) out of
    // the way, never removing it: to "rejected-key-yyyyMMdd-HHmmss[-n]" in its folder, a name
    // neither read as the key file nor as a copy of it. Returns the new path; throws a
    // DiaryError when it stays.
    static QString setAside(const QString& path);
    // What the user is told of a key file set aside.
    static QString setAsideMessage(const QString& path, const QString& to);
};
