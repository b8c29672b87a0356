#pragma once

// The key the sealed-bytes target opens with and its seeds were sealed with, so the fuzzer
// starts from files that open.
#include "core/storage/DiaryKey.h"

#include <QByteArray>

inline const DiaryKey& fixedDiaryKey()
{
    static const DiaryKey key(SecretBytes::copyOf(QByteArray(DiaryKey::KeyBytes, 'k')),
                              QByteArray(DiaryKey::IdBytes, 'i'));
    return key;
}
