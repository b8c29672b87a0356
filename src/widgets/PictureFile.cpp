#include "widgets/PictureFile.h"

#include <QFile>
#include <QImageReader>

QImage PictureFile::read(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const QByteArray head = file.peek(8);
    QByteArray format;
    if (head.startsWith("BM"))
        format = "bmp";
    else if (head == QByteArrayLiteral("\x89PNG\r\n\x1a\n"))
        format = "png";
    QImageReader reader(&file, format);
    reader.setAutoDetectImageFormat(format.isEmpty());
    return reader.read();
}
