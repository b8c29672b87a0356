#pragma once

#include <QList>

#include <algorithm>
#include <chrono>

// Durations of repeated runs of one step. The median is the figure reported: a single slow
// fsync or a scheduler hiccup on a shared machine moves it little.
class Samples
{
public:
    template <typename Step> void measure(Step&& step)
    {
        const auto start = std::chrono::steady_clock::now();
        step();
        add(std::chrono::steady_clock::now() - start);
    }

    void add(std::chrono::nanoseconds duration) { m_nanos.append(duration.count()); }

    double medianMicros() const
    {
        if (m_nanos.isEmpty())
            return 0;
        QList<qint64> sorted = m_nanos;
        std::sort(sorted.begin(), sorted.end());
        const qsizetype middle = sorted.size() / 2;
        const double median = sorted.size() % 2 ? double(sorted[middle])
                                                : (sorted[middle - 1] + sorted[middle]) / 2.0;
        return median / 1000.0;
    }

    double minMicros() const
    {
        return m_nanos.isEmpty() ? 0 : *std::min_element(m_nanos.begin(), m_nanos.end()) / 1000.0;
    }

    qsizetype count() const { return m_nanos.size(); }

private:
    QList<qint64> m_nanos;
};
