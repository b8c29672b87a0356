#include "widgets/PictureDialog.h"

#include <QFileInfo>
#include <QGridLayout>
#include <QImageReader>
#include <QLabel>

namespace {
const QSize PreviewSize(160, 160);
}

PictureDialog::PictureDialog(QWidget* parent) : QFileDialog(parent)
{
    setOption(QFileDialog::DontUseNativeDialog);
    setFileMode(QFileDialog::ExistingFile);
    setAcceptMode(QFileDialog::AcceptOpen);
    setNameFilters({QStringLiteral("すべてのﾌｧｲﾙ (*.bmp)"), QStringLiteral("ﾋﾞｯﾄﾏｯﾌﾟ (*.bmp)")});
    setDefaultSuffix(QStringLiteral("bmp"));

    m_preview = new QLabel(this);
    m_preview->setObjectName(QStringLiteral("preview"));
    m_preview->setFixedSize(PreviewSize);
    m_preview->setAlignment(Qt::AlignCenter);
    m_preview->setFrameShape(QFrame::StyledPanel);
    // The non-native dialog lays itself out on a grid; the preview takes a column of its own.
    if (auto* grid = qobject_cast<QGridLayout*>(layout()))
        grid->addWidget(m_preview, 1, grid->columnCount(), grid->rowCount() - 1, 1);
    connect(this, &QFileDialog::currentChanged, this, &PictureDialog::showPreview);
}

void PictureDialog::showPreview(const QString& path)
{
    QImageReader reader(path);
    const QImage picture = QFileInfo(path).isFile() ? reader.read() : QImage();
    if (picture.isNull()) {
        m_preview->clear();
        return;
    }
    // Skin bitmaps are tiny: they are enlarged without smoothing so each pixel stays visible.
    const QSize fitted = picture.size().scaled(PreviewSize, Qt::KeepAspectRatio);
    m_preview->setPixmap(QPixmap::fromImage(picture.scaled(fitted, Qt::KeepAspectRatio)));
}

std::optional<QString> PictureDialog::getPicture(QWidget* parent, const QString& title)
{
    PictureDialog dialog(parent);
    dialog.setWindowTitle(title);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    return QFileInfo(dialog.selectedFiles().constFirst()).absoluteFilePath();
}
