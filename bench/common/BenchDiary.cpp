#include "common/BenchDiary.h"

#include "core/storage/CodePage932.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringList>

#include <stdexcept>

namespace {
const QStringList Sentences = {
    QStringLiteral("今日は朝から雨が降っていて、傘を持って出かけた。"),
    QStringLiteral("駅前の本屋で前から気になっていた小説を買った。"),
    QStringLiteral("昼ごはんは近所の定食屋で焼き魚定食を食べた。"),
    QStringLiteral("午後は会議が三つも続いて、さすがに少し疲れた。"),
    QStringLiteral("夕方、川沿いの道をゆっくり散歩して帰った。"),
    QStringLiteral("夜は古い友達と電話で一時間も話してしまった。"),
    QStringLiteral("明日は早起きして、たまった洗濯を片付けよう。"),
    QStringLiteral("猫が窓辺でずっと気持ちよさそうに昼寝をしていた。"),
    QStringLiteral("久しぶりに部屋の掃除をしたら、すっきりした。"),
    QStringLiteral("帰りに八百屋で大根と葱と豆腐を買った。"),
    QStringLiteral("週末の旅行の切符を予約した。楽しみだ。"),
};

const QStringList Titles = {
    QStringLiteral("雨の日"),       QStringLiteral("本屋と散歩"),   QStringLiteral("会議続き"),
    QStringLiteral("友達から電話"), QStringLiteral("掃除の日"),     QStringLiteral("旅行の準備"),
    QStringLiteral("猫と昼寝"),     QStringLiteral("何もない一日"),
};

const QStringList Comment = {
    QStringLiteral(" "),
    QStringLiteral("昨日のあなたは、"),
    QStringLiteral("とても元気そうに"),
    QStringLiteral("一日を過ごしていましたね。"),
    QStringLiteral("また明日も書いてください。"),
    QStringLiteral(" "),
    QStringLiteral("--------"),
    QStringLiteral("モルナ"),
};

// A small fixed generator, so every run measures the same diary.
quint32 draw(quint32 day, quint32 salt)
{
    quint32 x = day * 2654435761u + salt * 40503u + 1u;
    x ^= x >> 15;
    x *= 2246822519u;
    x ^= x >> 13;
    return x;
}
} // namespace

void BenchDiary::create(const QString& folder, int days, const QDate& lastDay)
{
    const QDir dir(folder);
    if (!dir.mkpath(QStringLiteral("data")))
        throw std::runtime_error("cannot create the entries folder");
    const QDate first = lastDay.addDays(1 - days);
    for (int i = 0; i < days; ++i) {
        const QDate day = first.addDays(i);
        writeFile(dir.filePath(QStringLiteral("data/") + QString::fromLatin1(key(day))), body(day));
    }
    writeFile(dir.filePath(QStringLiteral("diary.ini")), iniBytes(days, lastDay));
}

QByteArray BenchDiary::iniBytes(int days, const QDate& lastDay)
{
    const QDate first = lastDay.addDays(1 - days);
    QByteArray bytes = "\r\n[title]\r\n";
    bytes.reserve(qsizetype(days) * 32 + 512);
    for (int i = 0; i < days; ++i) {
        const QDate day = first.addDays(i);
        bytes += key(day) + '=' + title(day) + "\r\n";
    }
    bytes += "\r\n[data]\r\n";
    bytes += "fontname=" + CodePage932::encode(QStringLiteral("ＭＳ Ｐゴシック")) + "\r\n";
    bytes += "fontsize=9\r\nleft=480\r\ntop=380\r\nMnikki=1\r\n";
    bytes += "username=" + CodePage932::encode(QStringLiteral("あなた")) + "\r\n";
    bytes += "password=\r\nusepassword=0\r\nschemepath=\r\nbuttonpath=\r\nscrollbar=0\r\n";
    return bytes;
}

QByteArray BenchDiary::body(const QDate& day)
{
    const auto index = quint32(day.toJulianDay());
    const int count = 7 + int(draw(index, 1) % 6);
    QStringList lines;
    for (int i = 0; i < count; ++i)
        lines.append(Sentences.at(draw(index, quint32(i + 2)) % Sentences.size()));
    lines.append(Comment);
    return CodePage932::encode(lines.join(QStringLiteral("\r\n")));
}

QByteArray BenchDiary::title(const QDate& day)
{
    const QString text = Titles.at(draw(quint32(day.toJulianDay()), 99) % Titles.size());
    return CodePage932::encode(text + QLatin1Char(' ') + QString::number(day.dayOfYear()));
}

QByteArray BenchDiary::key(const QDate& day)
{
    return day.toString(QStringLiteral("yyyyMMdd")).toLatin1();
}

void BenchDiary::writeFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        throw std::runtime_error("cannot write " + path.toStdString());
}

QString BenchDiary::memoryRoot()
{
    return QStringLiteral("/dev/shm");
}

std::unique_ptr<QTemporaryDir> BenchDiary::memoryFolder()
{
    const QFileInfo root(memoryRoot());
    if (!root.isDir() || !root.isWritable())
        return nullptr;
    auto folder =
        std::make_unique<QTemporaryDir>(memoryRoot() + QStringLiteral("/tobiquill-XXXXXX"));
    return folder->isValid() ? std::move(folder) : nullptr;
}
