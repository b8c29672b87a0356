#include "core/storage/Sodium.h"

#include "core/storage/DiaryError.h"

#include <sodium.h>

void Sodium::ready()
{
    // A function-local static: set up once, safely from any thread.
    static const bool started = sodium_init() >= 0;
    if (!started)
        throw DiaryError(QStringLiteral("暗号化のﾗｲﾌﾞﾗﾘ (libsodium) を初期化できません。"));
}
