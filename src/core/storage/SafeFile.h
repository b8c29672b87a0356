#pragma once

#include "core/storage/FileStamp.h"

#include <QByteArray>
#include <QList>
#include <QString>

#include <functional>
#include <limits>
#include <optional>
#include <utility>

// The one way the program reads and writes its files. A write goes to a new file beside the old
// one, reaches the disk, and then takes the old one's place in one rename, which is itself made
// durable: a crash, a kill or a full disk at any moment leaves the old file or the new one, whole.
// A file is never written in place; when its folder takes no new file, the write fails.
//
// New files are readable by their owner only (0600), whatever the umask; a replaced file keeps
// its mode. Folders the program makes are private too (0700).
class SafeFile
{
public:
    // The stages of a write, in order, as the fault seam sees them.
    enum class Step
    {
        Create,     // the new file beside the old
        Write,      // its bytes
        Sync,       // its bytes to the disk
        Close,      // closing it, which may report a delayed write error
        Commit,     // the rename over the old file
        SyncFolder, // the folder entry to the disk
        Read,       // opening a file to read
        ReadBlock,  // each block of its bytes
        Remove,     // unlinking a file (then SyncFolder)
    };
    // A test seam: when set, it runs before each step and a non-zero result fails that step with
    // that errno, as the system would. A full disk or a dead device are then reachable by tests
    // that run as root, which no permission bit stops.
    using FaultHook = std::function<int(Step step, const QString& path)>;
    static FaultHook& faultHook();

    // What may stand at a path. Every file of the diary, diary.ini included, may come from a sync
    // peer or another user, who can put anything there: it must be a regular file of the user's
    // own, and a link at the path is never followed, so no file outside the folder is written.
    enum class Links
    {
        Refused,
    };

    // Creates or replaces the file; throws a DiaryError naming the file on any failure, with the
    // reason when it is one the user can act on (a folder that takes no file, a full disk).
    // Anything but a regular file of the user's own at the path is left as it is and
    // DiaryError::notOwnFile thrown.
    static void write(const QString& path, const QByteArray& bytes, Links links = Links::Refused);
    // Writes each file as write() does, the whole batch at once: every new file's bytes reach the
    // disk with one sync of the file system before the first takes its place, and each folder is
    // synced once after the last, instead of twice a file. At any moment each path holds its old
    // file or its new one, whole. A failure throws as write() does, naming the file: the files
    // before it are written, the rest as they were.
    static void writeMany(const QList<std::pair<QString, QByteArray>>& files,
                          Links links = Links::Refused);
    // Reads the whole file, a link followed (for files the user names, never the diary's own);
    // throws DiaryError::cannotOpen when it cannot be read or is no regular file (a folder, a pipe,
    // a device: reading one could block or never end), and DiaryError::tooLarge, before reading,
    // when it holds more than maxBytes.
    static QByteArray read(const QString& path,
                           qint64 maxBytes = std::numeric_limits<qint64>::max());
    // Reads a regular file of the user's own without following a link at the path; no value when
    // it holds more than maxBytes, which is known before anything is read (a sparse file of
    // gigabytes costs nothing). Throws DiaryError::notOwnFile when anything else stands there,
    // and what read() throws.
    static std::optional<QByteArray> readOwn(const QString& path, qint64 maxBytes);
    // The same for the file name in a folder held open (an O_DIRECTORY descriptor, or AT_FDCWD),
    // so that reading every file of a folder walks its path once; path names the file in
    // messages. stamp, when given, receives the stamp of the file opened.
    static std::optional<QByteArray> readOwnAt(int folder, const QByteArray& name,
                                               const QString& path, qint64 maxBytes,
                                               FileStamp* stamp = nullptr);
    // Removes what stands at the path, a link itself and never the file it names, and makes the
    // removal durable with the folder. Nothing at the path is nothing to do. Throws
    // DiaryError::cannotRemove when it stays.
    static void remove(const QString& path);

    // Creates the folder and any missing parents, each private to its owner; an existing folder
    // keeps its mode. False when the folder does not exist afterwards.
    static bool makeFolder(const QString& path);

    // The name of a file an interrupted write of this program leaves beside the file it saved.
    static bool isLeftover(const QString& fileName);
    // Removes such leftovers from the folder: regular files only, never anything else.
    static void removeLeftovers(const QString& folder);
};
