#pragma once

#include <QString>

class Clock;
class PassphrasePrompt;
class QTextStream;

// tobiquill --stats: the diary's record (DiaryRecord::text) for scripts. Only reads the diary; an
// encrypted one's passphrase is asked as the command-line tasks ask it.
class RecordReport
{
public:
    // Returns the exit code: 0 printed, 1 when the folder holds no diary or the passphrase does
    // not open it.
    static int print(const QString& folder, const Clock& clock, QTextStream& out, QTextStream& err,
                     PassphrasePrompt* passphrases = nullptr);
};
