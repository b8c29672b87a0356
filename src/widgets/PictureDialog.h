#pragma once

#include <QFileDialog>
#include <optional>

class QLabel;

// The picture-open dialog: the toolkit's own file dialog (not the desktop's, so it looks the
// same everywhere and tests can drive it) with a preview of the picture under the cursor.
class PictureDialog : public QFileDialog
{
    Q_OBJECT

public:
    explicit PictureDialog(QWidget* parent = nullptr);

    // Runs the dialog with the title; the chosen file's full path, or no value when cancelled.
    static std::optional<QString> getPicture(QWidget* parent, const QString& title);

    // What the preview shows now: the picture scaled into the pane, or nothing.
    const QLabel* preview() const { return m_preview; }

private:
    void showPreview(const QString& path);

    QLabel* m_preview = nullptr;
};
