#include "common/BenchReport.h"

#include <cstdio>

namespace {
constexpr int LabelWidth = 58;

QByteArray padded(const QString& label)
{
    return label.leftJustified(LabelWidth).toUtf8();
}
} // namespace

void BenchReport::section(const QString& title)
{
    heading(title);
    std::printf("  %s %12s %12s %5s\n", padded(QStringLiteral("")).constData(), "median us",
                "min us", "n");
    std::fflush(stdout);
}

void BenchReport::heading(const QString& title)
{
    std::printf("\n== %s ==\n", title.toUtf8().constData());
    std::fflush(stdout);
}

void BenchReport::figure(const QString& label, const Samples& samples)
{
    std::printf("  %s %12.1f %12.1f %5lld\n", padded(label).constData(), samples.medianMicros(),
                samples.minMicros(), static_cast<long long>(samples.count()));
    std::fflush(stdout);
}

void BenchReport::ratio(const QString& label, double ratio, const QString& aim)
{
    std::printf("  ratio %s %6.2fx  %s\n", label.leftJustified(LabelWidth - 6).toUtf8().constData(),
                ratio, aim.toUtf8().constData());
    std::fflush(stdout);
}
