#pragma once

#include <QImage>
#include <QString>

// The pictures compiled into the program, all PNG. Read as PNG by name: asked to guess, Qt loads
// every image-format plugin it has (GIF, ICO, JPEG ...) to ask each whether it knows the file,
// a cost at every start for formats the program never shows.
class BuiltInPicture
{
public:
    // resource: a path such as ":/scheme.png". A null image when there is none.
    static QImage load(const QString& resource);
};
