#pragma once

#include "core/storage/SecretBytes.h"

#include <QByteArray>

#include <memory>

// The diary's master key and the diary's id, once unlocked. Move-only.
class DiaryKey
{
public:
    static constexpr qsizetype KeyBytes = 32;
    static constexpr qsizetype IdBytes = 16;

    // A random key and a random id: a new diary's.
    static DiaryKey generate();
    // Throws DiaryError when the key or the id has the wrong size.
    DiaryKey(SecretBytes key, QByteArray diaryId);

    const QByteArray& diaryId() const { return m_diaryId; }
    const SecretBytes& key() const { return m_key; }

    // While the diary is being keyed anew: the key it had before, which opens what is not yet
    // sealed again. Null otherwise.
    const DiaryKey* previous() const { return m_previous.get(); }
    void setPrevious(std::shared_ptr<const DiaryKey> previous) { m_previous = std::move(previous); }

private:
    SecretBytes m_key;
    QByteArray m_diaryId;
    std::shared_ptr<const DiaryKey> m_previous;
};
