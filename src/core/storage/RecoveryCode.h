#pragma once

#include <QString>

#include <optional>

// A code a person writes down: 24 characters of Crockford base32 in six groups of four
// ("7K3Q-…"), the last a check character that catches any one character mistyped and most
// neighbours swapped. Typed in any case, with or without dashes or spaces, in full-width letters
// too; O reads as 0, I and L as 1.
class RecoveryCode
{
public:
    static QString generate();
    // The code as generate() spells it; no value when the text is not a code.
    static std::optional<QString> normalised(QStringView typed);
};
