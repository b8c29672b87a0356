#pragma once

#include <QImage>
#include <QString>

// Reads a picture: the built-in ones (PNG, in the resources) and the user's scheme and button
// bitmaps. BMP and PNG are read by Qt's own readers, chosen by the file's first bytes: asked to
// guess, Qt loads every image-format plugin it has (GIF, ICO, JPEG ...) to ask each whether it
// knows the file, a cost at every start for formats the pictures in use do not need. Any other
// file is left to Qt's guess, plugins and all.
class PictureFile
{
public:
    // A null image when path holds no picture Qt can read.
    static QImage read(const QString& path);
};
