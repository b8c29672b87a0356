#pragma once

#include <QObject>

// The body's scroll-position model. It is never shown: only its values count. Its maximum is at
// the top, so position Max stands for the body's first line and Max - k for line k.
//
// Setting Min or Max moves nothing and reports nothing. Setting Position outside Min..Max
// keeps the old position, and OnChange fires all the same, so the body is brought back to the
// line the kept position stands for.
class TSlideBar : public QObject
{
    Q_OBJECT

public:
    explicit TSlideBar(QObject* parent = nullptr);

    int Min() const { return m_min; }
    int Max() const { return m_max; }
    int Position() const { return m_position; }

    void setMin(int value);
    void setMax(int value);
    void setPosition(int value);

    // The body line that the position stands for: the one that belongs at the top.
    int line() const { return m_max - m_position; }

signals:
    void OnChange();

private:
    int m_min = 0;
    int m_max = 0;
    int m_position = 0;
};

// Fits the model's range to a body of lineCount display lines of which visibleLineCount fit
// in the editor: Max is the last position that still fills the editor, or the line count when
// everything fits. The position stays where it is; the caller sets it to Max afterwards.
void UpdateScrollRange(TSlideBar& g, int lineCount, int visibleLineCount);
