#pragma once

#include <QByteArrayView>

// Bytes that must not outlive their use: held in memory of their own (guard pages, locked so it
// is not swapped where the system allows), zeroed and freed on destruction. Move-only.
class SecretBytes
{
public:
    static SecretBytes random(qsizetype size);
    static SecretBytes copyOf(QByteArrayView bytes);
    // Zero-filled.
    explicit SecretBytes(qsizetype size);
    SecretBytes(SecretBytes&& other) noexcept;
    SecretBytes& operator=(SecretBytes&& other) noexcept;
    SecretBytes(const SecretBytes&) = delete;
    SecretBytes& operator=(const SecretBytes&) = delete;
    ~SecretBytes();

    const unsigned char* data() const { return m_data; }
    unsigned char* data() { return m_data; }
    qsizetype size() const { return m_size; }
    QByteArrayView view() const { return {m_data, m_size}; }

private:
    unsigned char* m_data = nullptr;
    qsizetype m_size = 0;
};
