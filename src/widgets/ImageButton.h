#pragma once

#include <QAbstractButton>
#include <QImage>

// A picture that acts as a button: any mouse button shows the pressed picture, and the release
// (wherever the pointer is by then) is reported to the owner, which runs the command and
// decides which picture to show next. From the keyboard, Tab reaches it and Space works as the
// left mouse button; a click never takes the keyboard focus from the editors.
class ImageButton : public QAbstractButton
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
