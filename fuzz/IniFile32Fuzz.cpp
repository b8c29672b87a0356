// Any bytes as diary.ini: loading never fails on content, reads never crash, and a write keeps
// the file readable: the written value reads back and the bytes after a NUL stay.
#include "FuzzRequire.h"
#include "core/storage/IniFile32.h"

#include "core/storage/SafeFile.h"

#include <QByteArray>
#include <QDir>
#include <QTemporaryDir>

#include <cstddef>
#include <cstdint>

namespace {

const QString& iniPath()
{
    static QTemporaryDir dir;
    static const QString path = QDir(dir.path()).filePath(QStringLiteral("diary.ini"));
    return path;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    SafeFile::write(iniPath(), bytes);
    TIniFile32 ini(iniPath());
    ini.ReadString("title", "20240105", "none");
    ini.ReadInteger("data", "left", 7);
    ini.ReadBool("data", "Mnikki", true);

    ini.WriteString("title", "20240105", "new title");
    require(ini.ReadString("title", "20240105", {}) == "new title");
    const QByteArray written = SafeFile::read(iniPath());
    const qsizetype nul = bytes.indexOf('\0');
    if (nul >= 0)
        require(written.endsWith(bytes.sliced(nul)));
    TIniFile32 again(iniPath());
    require(again.Lines() == ini.Lines());
    require(again.ReadString("title", "20240105", {}) == "new title");
    return 0;
}
