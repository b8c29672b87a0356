#include "widgets/SlideBar.h"

TSlideBar::TSlideBar(QObject* parent) : QObject(parent) {}

void TSlideBar::setMin(int value)
{
    m_min = value;
}

void TSlideBar::setMax(int value)
{
    m_max = value;
}

void TSlideBar::setPosition(int value)
{
    if (value >= m_min && value <= m_max)
        m_position = value;
    emit OnChange();
}

void UpdateScrollRange(TSlideBar& g, int lineCount, int visibleLineCount)
{
    g.setMax(lineCount);
    g.setMin(0);
    if (lineCount - visibleLineCount > 0)
        g.setMax(lineCount - visibleLineCount);
}
