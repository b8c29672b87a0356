// Any bytes as the user's scheme bitmap or button strip: loading never crashes, and a picture
// of the width the skin is cut for builds a skin, whatever its height.
#include "skin/Skin.h"

#include <QByteArray>
#include <QImage>

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QImage picture = QImage::fromData(
        QByteArray::fromRawData(reinterpret_cast<const char*>(data), qsizetype(size)));
    if (picture.isNull())
        return 0;
    const QImage scheme(16, 16, QImage::Format_RGB32);
    const QImage buttons(104, 22, QImage::Format_RGB32);
    if (picture.width() == 16)
        Skin::build(picture, buttons);
    else if (picture.width() == 104)
        Skin::build(scheme, picture);
    return 0;
}
