#include "core/diary/Password.h"

#include "core/companion/Random.h"

namespace {
QByteArray shift(const QByteArray& text, int direction)
{
    if (text.isEmpty())
        return text;
    Random::setSeed(Password::FixedSeed);
    QByteArray out(text.size(), Qt::Uninitialized);
    for (qsizetype i = 0; i < text.size(); ++i) {
        const int r = static_cast<int>(Random::draw(100));
        out[i] = static_cast<char>((static_cast<unsigned char>(text[i]) + direction * r) & 0xFF);
    }
    return out;
}
} // namespace

QByteArray ScramblePassword(const QByteArray& plain)
{
    return shift(plain, +1);
}

QByteArray UnscramblePassword(const QByteArray& scrambled)
{
    return shift(scrambled, -1);
}

bool Password::isStorable(const QByteArray& plain)
{
    const QByteArray stored = ScramblePassword(plain);
    if (stored.isEmpty())
        return true;
    const auto blank = [](char c) { return static_cast<unsigned char>(c) < 33; };
    if (blank(stored.front()) || blank(stored.back()))
        return false;
    for (char c : stored) {
        if (c == '\r' || c == '\n' || c == '\0')
            return false;
    }
    return true;
}
