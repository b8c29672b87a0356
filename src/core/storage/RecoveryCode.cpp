#include "core/storage/RecoveryCode.h"

#include "core/storage/Sodium.h"

#include <sodium.h>

#include <array>

namespace {

constexpr QLatin1StringView Alphabet("0123456789ABCDEFGHJKMNPQRSTVWXYZ");
constexpr int Base = 32;
constexpr int Length = 24;
constexpr int GroupLength = 4;
using Values = std::array<int, Length>;

// Luhn's algorithm over base 32: the check value for the first Length - 1 values.
int checkValue(const Values& values)
{
    int sum = 0;
    int factor = 2;
    for (int i = Length - 2; i >= 0; --i) {
        const int addend = factor * values[size_t(i)];
        sum += addend / Base + addend % Base;
        factor = 3 - factor;
    }
    return (Base - sum % Base) % Base;
}

QString spelled(const Values& values)
{
    QString code;
    for (int i = 0; i < Length; ++i) {
        if (i > 0 && i % GroupLength == 0)
            code += QLatin1Char('-');
        code += Alphabet[values[size_t(i)]];
    }
    return code;
}

bool isSeparator(QChar c)
{
    // Dashes as a Japanese input method may give them, and the long-vowel mark typed for one.
    return c.isSpace() || c == u'-' || c == u'‐' || c == u'‑' || c == u'−' || c == u'ー';
}

} // namespace

QString RecoveryCode::generate()
{
    Sodium::ready();
    Values values{};
    for (int i = 0; i < Length - 1; ++i)
        values[size_t(i)] = int(randombytes_uniform(Base));
    values[Length - 1] = checkValue(values);
    return spelled(values);
}

std::optional<QString> RecoveryCode::normalised(QStringView typed)
{
    // Full-width letters and digits become their ASCII forms.
    const QString folded = typed.toString().normalized(QString::NormalizationForm_KC).toUpper();
    Values values{};
    int count = 0;
    for (QChar c : folded) {
        if (isSeparator(c))
            continue;
        if (c == u'O')
            c = u'0';
        else if (c == u'I' || c == u'L')
            c = u'1';
        const qsizetype value = Alphabet.indexOf(c);
        if (value < 0 || count == Length)
            return std::nullopt;
        values[size_t(count++)] = int(value);
    }
    if (count != Length || checkValue(values) != values[Length - 1])
        return std::nullopt;
    return spelled(values);
}
