#include "widgets/ExportJob.h"

#include "core/diary/DiaryPaths.h"
#include "core/storage/DiaryError.h"
#include "core/storage/StagedFile.h"

ExportJob::ExportJob(QString programFolder, QString file, QDate from, QDate to,
                     std::shared_ptr<const DiaryKey> key, QObject* parent)
    : DiaryJob(parent), m_programFolder(std::move(programFolder)), m_file(std::move(file)),
      m_from(from), m_to(to), m_key(std::move(key)), m_progress([this](qint64 done, qint64 total) {
          // Emitted on the job's thread: the window receives it queued.
          emit progressed(done, total);
      })
{
}

ExportJob::~ExportJob()
{
    cancel();
    if (m_thread.joinable())
        m_thread.join();
}

void ExportJob::start()
{
    m_thread = std::thread([this] { run(); });
}

void ExportJob::cancel()
{
    m_progress.cancel();
}

void ExportJob::run()
{
    QString error;
    try {
        if (DiaryPaths::isInsideDiary(m_programFolder, m_file))
            throw DiaryError(QStringLiteral("書き出し先を日記の中にはできません: %1").arg(m_file));
        // The file dialog has asked before a file is replaced.
        StagedFile out(m_file, StagedFile::ReplaceFile | StagedFile::WriteStream, &m_progress);
        const DiaryExport::Result result = DiaryExport::render(
            m_programFolder, DiaryExport::formatFor(m_file), m_from, m_to, m_progress, m_key);
        out.write(result.document);
        m_progress.check();
        out.commit();
        m_leftOut = result.leftOut;
        m_days = result.days;
    } catch (const DiaryError& e) {
        error = e.message();
    } catch (const std::exception& e) {
        error = QString::fromLocal8Bit(e.what());
    }
    emit finished(error, m_progress.cancelled() && !error.isEmpty());
}
