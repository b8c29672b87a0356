#include "widgets/CursorRegistry.h"

#include "widgets/PictureFile.h"

#include <QPixmap>
#include <array>

namespace {
struct CursorPicture
{
    const char* resource;
    int hotX;
    int hotY;
};

// Cursor number n is made from the picture at index n - 1; numbers 1 and 2 take each other's
// pictures.
constexpr std::array<CursorPicture, 5> Pictures = {{
    {":/cursor2.png", 9, 1},
    {":/cursor1.png", 13, 1},
    {":/cursor3.png", 12, 15},
    {":/cursor4.png", 28, 12},
    {":/cursor5.png", 9, 1},
}};

std::array<QCursor, 5>& cursors()
{
    static std::array<QCursor, 5> registered;
    return registered;
}
} // namespace

void CursorRegistry::registerAll()
{
    for (std::size_t i = 0; i < Pictures.size(); ++i) {
        const QPixmap picture =
            QPixmap::fromImage(PictureFile::read(QString::fromLatin1(Pictures[i].resource)));
        cursors()[i] = picture.isNull() ? QCursor(Qt::PointingHandCursor)
                                        : QCursor(picture, Pictures[i].hotX, Pictures[i].hotY);
    }
}

QCursor CursorRegistry::cursor(int number)
{
    if (number < 1 || number > static_cast<int>(cursors().size()))
        return QCursor(Qt::ArrowCursor);
    return cursors()[static_cast<std::size_t>(number - 1)];
}
