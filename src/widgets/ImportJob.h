#pragma once

#include "core/tasks/DiaryImport.h"
#include "widgets/DiaryJob.h"

class Diary;

// The planned days written into the window's diary a few at a time on the window's own thread,
// where every other use of the diary is: the progress window repaints between two steps, and
// 中止 stops the import there. The days written stay (the backup made before brings the diary
// back); written() says how many.
class ImportJob : public DiaryJob
{
    Q_OBJECT

public:
    ImportJob(Diary& diary, DiaryImport::Plan plan, QObject* parent = nullptr);

    void start() override;
    void cancel() override;

    int written() const { return int(m_next); }

private:
    void step();

    Diary& m_diary;
    DiaryImport::Plan m_plan;
    qsizetype m_next = 0;
    bool m_cancelled = false;
};
