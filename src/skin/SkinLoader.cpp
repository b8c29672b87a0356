#include "skin/SkinLoader.h"

#include "core/diary/Settings.h"

#include <QFileInfo>

namespace {
constexpr int SchemeWidth = 16;
constexpr int ButtonStripWidth = 104;

// The picture at path when it is one of the width, else the built-in one.
QImage userPicture(QString& path, const QImage& builtIn, int width, SkinLoader::ReadPicture read,
                   QStringList& refused)
{
    if (path.isEmpty() || !QFileInfo(path).isFile()) {
        path.clear();
        return builtIn;
    }
    const QImage picture = read(path);
    if (picture.isNull()) {
        refused << QStringLiteral("ﾌｧｲﾙ %1 は画像として読み込めません。組み込みの画像を使います。")
                       .arg(path);
        return builtIn;
    }
    return picture.width() == width ? picture : builtIn;
}
} // namespace

SkinLoader::Loaded SkinLoader::load(const Settings& settings, const QImage& builtInScheme,
                                    const QImage& builtInButtons, ReadPicture read)
{
    Loaded loaded;
    loaded.schemePath = settings.schemePath;
    loaded.buttonPath = settings.buttonPath;
    const QImage scheme =
        userPicture(loaded.schemePath, builtInScheme, SchemeWidth, read, loaded.refused);
    const QImage buttons =
        userPicture(loaded.buttonPath, builtInButtons, ButtonStripWidth, read, loaded.refused);
    loaded.skin = Skin::build(scheme, buttons);
    return loaded;
}
