// Any bytes as a sealed day and as a sealed title: opening throws the diary's own error or gives
// back plain text that seals and opens again the same; never a crash.
#include "FixedDiaryKey.h"
#include "FuzzRequire.h"
#include "core/storage/DiaryError.h"
#include "core/storage/SealedBytes.h"

#include <QByteArray>

#include <cstddef>
#include <cstdint>

namespace {

const QString Path = QStringLiteral("data/20240315");

void openSealed(const QByteArray& bytes, bool asText, QByteArrayView context)
{
    const DiaryKey& key = fixedDiaryKey();
    try {
        const QByteArray plain = asText ? SealedBytes::openText(key, bytes, context, Path)
                                        : SealedBytes::open(key, bytes, context, Path);
        require(asText ? SealedBytes::isSealedText(bytes) : SealedBytes::isSealed(bytes));
        const QByteArray again = asText ? SealedBytes::sealText(key, plain, context)
                                        : SealedBytes::seal(key, plain, context);
        require(again != bytes);
        require((asText ? SealedBytes::openText(key, again, context, Path)
                        : SealedBytes::open(key, again, context, Path)) == plain);
    } catch (const DiaryError&) {
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    openSealed(bytes, false, "day 20240315");
    openSealed(bytes, true, "title 20240315");
    return 0;
}
