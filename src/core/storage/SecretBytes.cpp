#include "core/storage/SecretBytes.h"

#include "core/storage/DiaryError.h"
#include "core/storage/Sodium.h"

#include <sodium.h>

#include <utility>

SecretBytes SecretBytes::random(qsizetype size)
{
    SecretBytes bytes(size);
    randombytes_buf(bytes.m_data, size_t(size));
    return bytes;
}

SecretBytes SecretBytes::copyOf(QByteArrayView bytes)
{
    SecretBytes copy(bytes.size());
    if (!bytes.isEmpty())
        memcpy(copy.m_data, bytes.data(), size_t(bytes.size()));
    return copy;
}

SecretBytes::SecretBytes(qsizetype size) : m_size(size)
{
    Sodium::ready();
    m_data = static_cast<unsigned char*>(sodium_malloc(size_t(size)));
    if (!m_data)
        throw DiaryError(QStringLiteral("鍵を置くﾒﾓﾘを確保できません。"));
    sodium_memzero(m_data, size_t(size));
}

SecretBytes::SecretBytes(SecretBytes&& other) noexcept
    : m_data(std::exchange(other.m_data, nullptr)), m_size(std::exchange(other.m_size, 0))
{
}

SecretBytes& SecretBytes::operator=(SecretBytes&& other) noexcept
{
    if (this != &other) {
        sodium_free(m_data);
        m_data = std::exchange(other.m_data, nullptr);
        m_size = std::exchange(other.m_size, 0);
    }
    return *this;
}

SecretBytes::~SecretBytes()
{
    // sodium_free zeroes the bytes before it gives the pages back.
    sodium_free(m_data);
}
