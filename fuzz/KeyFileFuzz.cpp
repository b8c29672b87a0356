// Any bytes as diary.key: parsing throws the diary's own error or gives a file that writes back
// the same bytes and folds with itself unchanged. No unlock: the file's own limits would make each
// run as slow as a real one.
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
        require(KeyFile::merged(file, file, path).bytes() == bytes);
    } catch (const DiaryError&) {
    }
    return 0;
}
