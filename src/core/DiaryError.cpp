#include "core/DiaryError.h"

DiaryError::DiaryError(QString message)
    : m_message(std::move(message)), m_utf8(m_message.toUtf8())
{
}

DiaryError DiaryError::cannotCreate(const QString& path)
{
    return DiaryError(QStringLiteral("ﾌｧｲﾙ %1 を作成できません").arg(path));
}

DiaryError DiaryError::cannotOpen(const QString& path)
{
    return DiaryError(QStringLiteral("ﾌｧｲﾙ %1 は開けません").arg(path));
}

DiaryError DiaryError::memoLimit()
{
    return DiaryError(QStringLiteral("文字列の大きさが ﾒﾓ の制限を越えました"));
}
