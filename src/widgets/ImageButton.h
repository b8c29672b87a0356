#pragma once

#include <QImage>
#include <QWidget>

// A picture that acts as a button: any mouse button shows the pressed picture, and the release
// (wherever the pointer is by then) is reported to the owner, which runs the command and
// decides which picture to show next.
class ImageButton : public QWidget
{
    Q_OBJECT

public:
    explicit ImageButton(QWidget* parent = nullptr);

    void setPicture(const QImage& picture);
    const QImage& picture() const { return m_picture; }

signals:
    void mouseDown(Qt::MouseButton button);
    void mouseUp(Qt::MouseButton button);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    QImage m_picture;
};
