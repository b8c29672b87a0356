#include "core/storage/DiaryError.h"

#include <QDir>
#include <QFileInfo>

DiaryError::DiaryError(QString message, Kind kind)
    : m_message(std::move(message)), m_kind(kind), m_utf8(m_message.toUtf8())
{
}

DiaryError DiaryError::cannotCreate(const QString& path)
{
    return DiaryError(QStringLiteral("ﾌｧｲﾙ %1 を作成できません").arg(path));
}

DiaryError DiaryError::folderNotWritable(const QString& path)
{
    return DiaryError(
        cannotCreate(path).message() +
        QStringLiteral("\nﾌｫﾙﾀﾞ %1 に書き込めません。入力した文章はそのまま残っています。")
            .arg(QFileInfo(path).absolutePath()));
}

DiaryError DiaryError::diskFull(const QString& path)
{
    return DiaryError(
        cannotCreate(path).message() +
        QStringLiteral("\nﾃﾞｨｽｸに空きがありません。入力した文章はそのまま残っています。"));
}

DiaryError DiaryError::cannotRemove(const QString& path, bool forbidden)
{
    QString message = QStringLiteral("ﾌｧｲﾙ %1 を削除できません").arg(path);
    if (forbidden)
        message += QStringLiteral("\nﾌｫﾙﾀﾞ %1 かﾌｧｲﾙそのものが変更を許していません。")
                       .arg(QFileInfo(path).absolutePath());
    return DiaryError(message);
}

DiaryError DiaryError::cannotOpen(const QString& path)
{
    return DiaryError(QStringLiteral("ﾌｧｲﾙ %1 は開けません").arg(path));
}

DiaryError DiaryError::diaryInUse(const QString& folder)
{
    return DiaryError(QStringLiteral("この日記 (%1) はもう開いています。"
                                     "開いているウィンドウを前に出します。")
                          .arg(QDir::toNativeSeparators(folder)),
                      Kind::InUse);
}

DiaryError DiaryError::cannotLock(const QString& folder)
{
    return DiaryError(
        QStringLiteral("この日記 (%1) を開けません。ほかのコピーから守るためのロックを"
                       "ユーザーのランタイムフォルダーに作成できません。")
            .arg(QDir::toNativeSeparators(folder)));
}

DiaryError DiaryError::memoLimit()
{
    return DiaryError(QStringLiteral("文字列の大きさが ﾒﾓ の制限を越えました"));
}

DiaryError DiaryError::notOwnFile(const QString& path)
{
    return DiaryError(
        cannotOpen(path).message() +
            QStringLiteral("\n日記のﾌｧｲﾙではありません (ﾘﾝｸ、ﾌｫﾙﾀﾞ、特殊ﾌｧｲﾙ、ほかのﾕｰｻﾞｰのﾌｧｲﾙ)。"
                           "読み書きせずにそのまま残してあります。"),
        Kind::NotOwnFile);
}

DiaryError DiaryError::tooLarge(const QString& path, qint64 maxBytes)
{
    return DiaryError(cannotOpen(path).message() +
                      QStringLiteral("\n%1 MB を越えていて、日記のﾌｧｲﾙとしては大きすぎます。"
                                     "読まずにそのまま残してあります。")
                          .arg(maxBytes / (1024 * 1024)));
}

DiaryError DiaryError::cannotUnseal(const QString& path, const QString& why)
{
    return DiaryError(cannotOpen(path).message() + QLatin1Char('\n') + why);
}

DiaryError DiaryError::locked()
{
    return DiaryError(QStringLiteral("この日記は暗号化されています。パスフレーズを入力するまで"
                                     "読み書きできません。"));
}
