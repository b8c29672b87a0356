#pragma once

#include <QByteArray>

// The password is kept in diary.ini lightly scrambled, byte by byte, with draws of the
// program-wide generator from a fixed seed.
QByteArray ScramblePassword(const QByteArray& plain);
QByteArray UnscramblePassword(const QByteArray& scrambled);

class Password
{
public:
    // Chosen so that the first eight draws are all at least 1: every printable ASCII password of
    // up to eight characters then scrambles to bytes above the blank, which the settings file
    // keeps exactly.
    static constexpr quint32 FixedSeed = 1;

    // Whether the scrambled form survives a write to and a read from diary.ini unchanged: no
    // line break or NUL inside, no blank or control byte at either end (the file trims those).
    static bool isStorable(const QByteArray& plain);
};
