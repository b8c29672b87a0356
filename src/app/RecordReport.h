#pragma once

#include <QString>

class Clock;
class QTextStream;

// tobiquill --stats: the diary's record (DiaryRecord::text) for scripts. Only reads the diary.
class RecordReport
{
public:
    // Returns the exit code: 0 printed, 1 when the folder holds no diary.
    static int print(const QString& folder, const Clock& clock, QTextStream& out, QTextStream& err);
};
