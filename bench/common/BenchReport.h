#pragma once

#include "common/Samples.h"

#include <QString>

// The printed table: one section per benchmark, figures in microseconds, ratios with the aim
// they are read against. Lines of ratios begin with "  ratio" so run.sh can gather them.
class BenchReport
{
public:
    // A section whose rows are figures: prints the column heads too.
    static void section(const QString& title);
    static void heading(const QString& title);
    // Median and minimum of the samples, in microseconds.
    static void figure(const QString& label, const Samples& samples);
    static void ratio(const QString& label, double ratio, const QString& aim = QString());
};
