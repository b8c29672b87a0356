#include "widgets/BuiltInPicture.h"

#include <QImageReader>

QImage BuiltInPicture::load(const QString& resource)
{
    QImageReader reader(resource, "png");
    reader.setAutoDetectImageFormat(false);
    return reader.read();
}
