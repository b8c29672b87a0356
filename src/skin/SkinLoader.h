#pragma once

#include "skin/Skin.h"

#include <QString>
#include <QStringList>

struct Settings;

// Builds the skin from the built-in pictures and the user's where the settings name them.
class SkinLoader
{
public:
    struct Loaded
    {
        Skin skin;
        // The settings' picture paths from now on: a missing file's path is forgotten; a file
        // refused for any other reason keeps its path, so the user can mend it in the settings.
        QString schemePath;
        QString buttonPath;
        // One message for each file that is no picture at all; a picture of another width is
        // left out without one.
        QStringList refused;
    };

    // Reads the picture at a path: a null image when it holds none.
    using ReadPicture = QImage (*)(const QString& path);

    // A user's picture, read with read, replaces the built-in one only when it has the width
    // the skin is cut for: 16 for the scheme, 104 for the button strip.
    static Loaded load(const Settings& settings, const QImage& builtInScheme,
                       const QImage& builtInButtons, ReadPicture read);
};
