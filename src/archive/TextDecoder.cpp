#include "archive/TextDecoder.h"

#include <cerrno>
#include <iconv.h>
#include <memory>
#include <uchardet/uchardet.h>

namespace {

struct DetectorDeleter
{
    void operator()(uchardet* detector) const { uchardet_delete(detector); }
};

// The encoding uchardet names, as iconv names it; null for one that is none of ours.
const char* ourEncoding(const QByteArray& detected)
{
    const QByteArray name = detected.toUpper();
    if (name == "UTF-8" || name == "ASCII")
        return "UTF-8";
    if (name == "SHIFT_JIS" || name == "CP932" || name == "WINDOWS-31J")
        return "CP932";
    if (name == "EUC-JP")
        return "EUC-JP";
    return nullptr;
}

} // namespace

std::optional<QString> TextDecoder::strict(const QByteArray& bytes, const char* encoding)
{
    iconv_t cd = iconv_open("UTF-8", encoding);
    if (cd == reinterpret_cast<iconv_t>(-1))
        return std::nullopt;
    const std::unique_ptr<void, int (*)(iconv_t)> closer(cd, iconv_close);
    // A half-width kana of one byte takes three in UTF-8: no character grows more.
    QByteArray out(bytes.size() * 3 + 16, Qt::Uninitialized);
    char* src = const_cast<char*>(bytes.constData());
    size_t srcLeft = size_t(bytes.size());
    char* dst = out.data();
    size_t dstLeft = size_t(out.size());
    if (iconv(cd, &src, &srcLeft, &dst, &dstLeft) == size_t(-1) ||
        iconv(cd, nullptr, nullptr, &dst, &dstLeft) == size_t(-1))
        return std::nullopt;
    out.truncate(out.size() - qsizetype(dstLeft));
    // NUL is no character of a text file: a binary file that happens to decode stays out.
    if (out.contains('\0'))
        return std::nullopt;
    return QString::fromUtf8(out);
}

std::optional<QString> TextDecoder::decode(const QByteArray& bytes, QString& reason)
{
    const std::unique_ptr<uchardet, DetectorDeleter> detector(uchardet_new());
    uchardet_handle_data(detector.get(), bytes.constData(), size_t(bytes.size()));
    uchardet_data_end(detector.get());
    const QByteArray detected(uchardet_get_charset(detector.get()));
    // An empty file, or one uchardet has no guess for, is judged as UTF-8; a byte order mark is
    // UTF-8's, and the decode drops it.
    const char* encoding = detected.isEmpty() ? "UTF-8" : ourEncoding(detected);
    if (!encoding) {
        reason = QStringLiteral("UTF-8、Shift-JIS、EUC-JP のどれでもありません (%1 と判定)")
                     .arg(QString::fromLatin1(detected));
        return std::nullopt;
    }
    std::optional<QString> text = strict(bytes, encoding);
    if (!text) {
        reason = QStringLiteral("%1 として正しく読めません").arg(QString::fromLatin1(encoding));
        return std::nullopt;
    }
    text->replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text->replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return text;
}
