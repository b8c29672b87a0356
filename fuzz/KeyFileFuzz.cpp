// Any bytes as diary.key: parsing throws the diary's own error or gives a file that writes back
// the same bytes; one that verifies under the seeds' key folds with itself into one that still
// does, unchanged unless of the old form. No unlock: the file's own limits would make each run as
// slow as a real one.
#include "FixedDiaryKey.h"
#include "FuzzRequire.h"
#include "core/storage/DiaryError.h"
#include "core/storage/KeyFile.h"

#include <QByteArray>

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    const QString path = QStringLiteral("diary.key");
    try {
        const KeyFile file = KeyFile::parse(bytes, path);
        require(file.bytes() == bytes);
        if (file.verifies(fixedDiaryKey())) {
            const KeyFile folded = KeyFile::merged(file, file, fixedDiaryKey(), path);
            require(folded.verifies(fixedDiaryKey()));
            require(file.version() == 1 || folded.bytes() == bytes);
        }
    } catch (const DiaryError&) {
    }
    return 0;
}
