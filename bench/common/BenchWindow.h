#pragma once

#include <QString>

#include <memory>

class Clock;
class TForm1;

// The main window as the benchmarks start it: made, started on a folder and shown until its
// first paint; let go without its close sequence, so that nothing is written back and every
// start finds the folder as the first one did.
class BenchWindow
{
public:
    static std::unique_ptr<TForm1> start(const QString& folder, const Clock& clock);
    static void dispose(std::unique_ptr<TForm1>& form);
};
