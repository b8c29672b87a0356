// Any diary folder a sync peer may leave, folded: nothing outside the diary changes, only the
// diary's own errors leave the fold, a copy set aside is told once a session, and a fold in a
// new session leaves the bytes the first left.
//
// The input is records, each starting a line with "@", as ArrivedFiles::place reads them in the
// diary's folder ("@f:data/20240105=text", "@l:data/20240106=x", "@d:…", "@p:…",
// "@s:…=size"). A link's target is picked from a few by its first byte, so that none leads
// outside the test's own folder.
#include "FuzzRequire.h"
#include "common/ArrivedFiles.h"
#include "core/diary/Diary.h"
#include "core/storage/DiaryError.h"

#include <QByteArray>
#include <QTemporaryDir>

#include <cstddef>
#include <cstdint>

namespace {

const QByteArrayList LinkTargets = {"../../outside/notes", "../outside/notes", "20240105", "data",
                                    "../../outside",       "missing"};

// Sparse files of a few GiB at most: enough to pass any limit, nothing on the disk.
constexpr qint64 MaxSparse = qint64(8) << 30;

QByteArray tamed(QByteArray record)
{
    const qsizetype equals = record.indexOf('=');
    if (record.startsWith("l:"))
        return record.left(equals < 0 ? record.size() : equals) + '=' +
               LinkTargets.at(equals < 0 || equals + 1 >= record.size()
                                  ? 0
                                  : quint8(record.at(equals + 1)) % LinkTargets.size());
    if (record.startsWith("s:") && equals >= 0)
        return record.left(equals + 1) +
               QByteArray::number(std::min(record.mid(equals + 1).toLongLong(), MaxSparse));
    return record;
}

// Folds twice in one session, then gives what the diary folder holds.
QMap<QString, QByteArray> foldOnce(const QString& folder)
{
    try {
        Diary diary(folder);
        diary.foldConflicts();
        require(diary.foldConflicts().setAside.isEmpty());
    } catch (const DiaryError&) {
        // A diary.ini that cannot be read stops the diary from opening: told, nothing written.
    }
    return ArrivedFiles::snapshot(folder);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray input(reinterpret_cast<const char*>(data), qsizetype(size));
    const QTemporaryDir root;
    const QString folder = root.filePath(QStringLiteral("diary"));
    ArrivedFiles::place(root.path(), "f:outside/notes=the user's");
    ArrivedFiles::place(folder, "d:data");
    const QByteArray text = '\n' + input;
    for (qsizetype at = text.indexOf("\n@"); at >= 0;) {
        const qsizetype next = text.indexOf("\n@", at + 2);
        ArrivedFiles::place(folder, tamed(text.mid(at + 2, next < 0 ? -1 : next - at - 2)));
        at = next;
    }
    const auto outside = ArrivedFiles::snapshot(root.path(), folder);
    const auto first = foldOnce(folder);
    require(foldOnce(folder) == first);
    require(ArrivedFiles::snapshot(root.path(), folder) == outside);
    return 0;
}
