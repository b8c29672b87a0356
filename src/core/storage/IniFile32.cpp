#include "core/storage/IniFile32.h"

#include "core/storage/DiaryError.h"
#include "core/storage/SafeFile.h"

#include <QByteArrayView>
#include <QFile>
#include <QSet>

#include <cstring>
#include <optional>
#include <sys/stat.h>

namespace {

// Spaces and control characters. Bytes are compared unsigned: Shift-JIS lead and trail bytes
// above 0x7F are text, never blanks.
bool isBlank(char c)
{
    return static_cast<unsigned char>(c) < 33;
}

bool breaksLine(char c)
{
    return c == '\r' || c == '\n' || c == '\0';
}

bool containsLineBreak(QByteArrayView text)
{
    for (const char c : text) {
        if (breaksLine(c))
            return true;
    }
    return false;
}

QByteArrayView trimmed(QByteArrayView text)
{
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && isBlank(text[begin]))
        ++begin;
    while (end > begin && isBlank(text[end - 1]))
        --end;
    return text.sliced(begin, end - begin);
}

bool isSectionHeader(QByteArrayView line)
{
    const QByteArrayView text = trimmed(line);
    return !text.isEmpty() && text.front() == '[' && text.back() == ']';
}

// The key of a line, or an empty view when it has no "=".
QByteArrayView keyOf(QByteArrayView line)
{
    const qsizetype equals = line.indexOf('=');
    return equals < 0 ? QByteArrayView() : trimmed(line.first(equals));
}

QByteArrayView valueOf(QByteArrayView line)
{
    return trimmed(line.sliced(line.indexOf('=') + 1));
}

bool isLeadByte(unsigned char c)
{
    return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC);
}

unsigned char asciiLower(unsigned char c)
{
    return c >= 'A' && c <= 'Z' ? c + ('a' - 'A') : c;
}

// ASCII letters compare without regard to case. The second byte of a Shift-JIS character is
// compared exactly: it may look like an ASCII letter, and folding it would make different
// characters equal.
bool equalsIgnoringAsciiCase(QByteArrayView a, QByteArrayView b)
{
    if (a.size() != b.size())
        return false;
    for (qsizetype i = 0; i < a.size(); ++i) {
        const auto x = static_cast<unsigned char>(a[i]);
        const auto y = static_cast<unsigned char>(b[i]);
        if (isLeadByte(x)) {
            if (x != y || (i + 1 < a.size() && a[i + 1] != b[i + 1]))
                return false;
            ++i;
        } else if (asciiLower(x) != asciiLower(y)) {
            return false;
        }
    }
    return true;
}

int hexDigit(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

std::optional<qint32> parseHex(QByteArrayView digits)
{
    if (digits.isEmpty() || digits.size() > 8)
        return std::nullopt;
    quint32 value = 0;
    for (const char c : digits) {
        const int digit = hexDigit(c);
        if (digit < 0)
            return std::nullopt;
        value = value * 16 + quint32(digit);
    }
    // Eight digits fill all 32 bits: FFFFFFFF is -1.
    return static_cast<qint32>(value);
}

std::optional<qint32> parseDecimal(QByteArrayView text)
{
    const bool negative = text.startsWith('-');
    if (negative || text.startsWith('+'))
        text = text.sliced(1);
    if (text.isEmpty())
        return std::nullopt;
    const qint64 limit = negative ? qint64(1) << 31 : (qint64(1) << 31) - 1;
    qint64 value = 0;
    for (const char c : text) {
        if (c < '0' || c > '9')
            return std::nullopt;
        value = value * 10 + (c - '0');
        if (value > limit)
            return std::nullopt;
    }
    return static_cast<qint32>(negative ? -value : value);
}

std::optional<qint32> parseInteger(QByteArrayView text)
{
    if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X'))
        return parseHex(text.sliced(2));
    if (text.startsWith('$'))
        return parseHex(text.sliced(1));
    return parseDecimal(text);
}

QList<QByteArray> splitLines(const QByteArray& bytes)
{
    QList<QByteArray> lines;
    // The buffer ends in a NUL of its own, so strcspn stops at the first NUL of the text, which
    // is where the text ends, or at the buffer's end.
    const char* p = bytes.constData();
    for (;;) {
        const std::size_t length = std::strcspn(p, "\r\n");
        const char* const stop = p + length;
        if (*stop == '\0') {
            if (length > 0)
                lines.append(QByteArray(p, qsizetype(length)));
            return lines;
        }
        lines.append(QByteArray(p, qsizetype(length)));
        p = stop + 1;
        if (*stop == '\r' && *p == '\n')
            ++p;
    }
}

// True when writing the lines back gives the same bytes: every line, the last included, ends in
// CR LF, and nothing else breaks a line.
bool isWrittenForm(QByteArrayView text)
{
    if (text.isEmpty())
        return true;
    if (!text.endsWith("\r\n"))
        return false;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' && (i + 1 == text.size() || text[i + 1] != '\n'))
            return false;
        if (text[i] == '\n' && (i == 0 || text[i - 1] != '\r'))
            return false;
    }
    return true;
}

// The file is a stranger's: a sync peer may put a link to any file of the user's at its path, and
// writing the settings through it would overwrite that file.
QByteArray readFile(const QString& fileName)
{
    const std::optional<QByteArray> bytes = SafeFile::readOwn(fileName, TIniFile32::MaxBytes);
    if (!bytes)
        throw DiaryError::tooLarge(fileName, TIniFile32::MaxBytes);
    return *bytes;
}

} // namespace

TIniFile32::TIniFile32(const QString& fileName) : m_fileName(fileName)
{
    // Anything at the path, a folder included, must load: a store that silently started empty
    // would overwrite the diary's settings and titles with the first write.
    m_stamp = FileStamp::of(fileName);
    struct stat info
    {
    };
    if (::lstat(QFile::encodeName(fileName).constData(), &info) == 0)
        load(readFile(fileName));
}

QList<std::pair<QByteArray, QByteArray>> TIniFile32::sectionValuesOf(const QByteArray& bytes,
                                                                     const QByteArray& section)
{
    TIniFile32 store;
    store.load(bytes);
    return store.ReadSectionValues(section);
}

void TIniFile32::load(const QByteArray& bytes)
{
    m_lines = splitLines(bytes);
    const qsizetype nul = bytes.indexOf('\0');
    m_afterText = nul >= 0 ? bytes.sliced(nul) : QByteArray();
    m_changed = !isWrittenForm(QByteArrayView(bytes).first(nul >= 0 ? nul : bytes.size()));
    ++m_changes;
}

void TIniFile32::reload()
{
    const FileStamp now = FileStamp::of(m_fileName);
    if (now == m_stamp)
        return;
    if (!now.exists) {
        m_stamp = now;
        m_changed = true;
        return;
    }
    // Stamped before the read: a change made while reading is seen at the next look.
    const QByteArray bytes = readFile(m_fileName);
    m_stamp = now;
    load(bytes);
}

void TIniFile32::writeOnce(const std::function<void()>& changes)
{
    m_holding = true;
    try {
        changes();
    } catch (...) {
        m_holding = false;
        throw;
    }
    m_holding = false;
    if (m_changed)
        save();
}

QByteArray TIniFile32::ReadString(const QByteArray& section, const QByteArray& key,
                                  const QByteArray& defaultValue) const
{
    const qsizetype header = findSection(section);
    if (header < 0)
        return defaultValue;
    const ScanResult scan = scanSection(header, key);
    if (!scan.found)
        return defaultValue;
    const QByteArrayView value = valueOf(m_lines.at(scan.index));
    return value.isEmpty() ? defaultValue : value.toByteArray();
}

QList<std::pair<QByteArray, QByteArray>>
TIniFile32::ReadSectionValues(const QByteArray& section) const
{
    QList<std::pair<QByteArray, QByteArray>> values;
    const qsizetype header = findSection(section);
    if (header < 0)
        return values;
    for (qsizetype i = header + 1; i < m_lines.size() && !isSectionHeader(m_lines.at(i)); ++i) {
        const QByteArrayView key = keyOf(m_lines.at(i));
        if (!key.isEmpty())
            values.append({key.toByteArray(), valueOf(m_lines.at(i)).toByteArray()});
    }
    return values;
}

qint32 TIniFile32::ReadInteger(const QByteArray& section, const QByteArray& key,
                               qint32 defaultValue) const
{
    return parseInteger(ReadString(section, key, QByteArray())).value_or(defaultValue);
}

bool TIniFile32::ReadBool(const QByteArray& section, const QByteArray& key, bool defaultValue) const
{
    return ReadInteger(section, key, defaultValue ? 1 : 0) != 0;
}

namespace {

// The line that stores value under key, CR, LF and NUL as spaces; no value when it would not read
// back under its own key: each write would add another copy, or corrupt the section it lands in.
std::optional<QByteArray> keyLine(const QByteArray& key, QByteArrayView value)
{
    QByteArray line;
    line.reserve(key.size() + 1 + value.size());
    line.append(key).append('=').append(value);
    char* const valueBytes = line.data() + key.size() + 1;
    for (qsizetype i = 0; i < value.size(); ++i) {
        if (breaksLine(valueBytes[i]))
            valueBytes[i] = ' ';
    }
    if (key.isEmpty() || containsLineBreak(key) || isSectionHeader(line) || keyOf(line) != key)
        return std::nullopt;
    return line;
}

} // namespace

void TIniFile32::WriteString(const QByteArray& section, const QByteArray& key,
                             const QByteArray& value)
{
    // A line break or NUL in a section name would split or cut its header in the file.
    if (!containsLineBreak(section)) {
        const std::optional<QByteArray> stored = keyLine(key, value);
        const bool storable = stored.has_value();
        const QByteArray line = stored.value_or(QByteArray());

        const qsizetype header = findSection(section);
        bool changed = true;
        if (header < 0) {
            m_lines.append(QByteArray());
            m_lines.append('[' + section + ']');
            if (storable)
                m_lines.append(line);
        } else if (storable) {
            const ScanResult scan = scanSection(header, key);
            if (!scan.found)
                m_lines.insert(scan.index, line);
            else if (m_lines.at(scan.index) != line)
                m_lines[scan.index] = line;
            else
                changed = false;
        } else {
            changed = false;
        }
        m_changed = m_changed || changed;
        m_changes += changed;
    }
    if (!m_holding)
        save();
}

void TIniFile32::WriteInteger(const QByteArray& section, const QByteArray& key, qint32 value)
{
    WriteString(section, key, QByteArray::number(value));
}

void TIniFile32::WriteBool(const QByteArray& section, const QByteArray& key, bool value)
{
    WriteString(section, key, value ? QByteArrayLiteral("1") : QByteArrayLiteral("0"));
}

void TIniFile32::editSection(const QByteArray& section, const SectionEdit& edit)
{
    const qsizetype header = findSection(section);
    QSet<QByteArray> seen;
    for (qsizetype i = header + 1;
         header >= 0 && i < m_lines.size() && !isSectionHeader(m_lines.at(i));) {
        const QByteArray key = keyOf(m_lines.at(i)).toByteArray();
        if (key.isEmpty()) {
            ++i;
            continue;
        }
        bool first = false;
        if (!seen.contains(key)) {
            seen.insert(key);
            first = true;
        }
        const std::optional<QByteArray> value = edit(key, valueOf(m_lines.at(i)), first);
        if (!value) {
            m_lines.removeAt(i);
            m_changed = true;
            ++m_changes;
            continue;
        }
        const std::optional<QByteArray> line = keyLine(key, *value);
        if (line && *line != m_lines.at(i)) {
            m_lines[i] = *line;
            m_changed = true;
            ++m_changes;
        }
        ++i;
    }
    if (!m_holding)
        save();
}

void TIniFile32::removeKey(const QByteArray& section, const QByteArray& key)
{
    const qsizetype header = findSection(section);
    if (header >= 0) {
        for (ScanResult scan = scanSection(header, key); scan.found;
             scan = scanSection(header, key)) {
            m_lines.removeAt(scan.index);
            m_changed = true;
            ++m_changes;
        }
    }
    if (!m_holding)
        save();
}

qsizetype TIniFile32::findSection(const QByteArray& section) const
{
    if (containsLineBreak(section))
        return -1;
    const qsizetype size = section.size() + 2;
    for (qsizetype i = 0; i < m_lines.size(); ++i) {
        const QByteArray& line = m_lines.at(i);
        if (line.size() == size && line.front() == '[' && line.back() == ']' &&
            equalsIgnoringAsciiCase(QByteArrayView(line).sliced(1, section.size()), section))
            return i;
    }
    return -1;
}

TIniFile32::ScanResult TIniFile32::scanSection(qsizetype header, const QByteArray& key) const
{
    qsizetype i = header + 1;
    for (; i < m_lines.size(); ++i) {
        const QByteArray& line = m_lines.at(i);
        if (isSectionHeader(line))
            break;
        // A line without "=" has an empty key too: an empty key never matches.
        if (!key.isEmpty() && keyOf(line) == key)
            return {i, true};
    }
    return {i, false};
}

void TIniFile32::save()
{
    qsizetype total = m_afterText.size();
    for (const QByteArray& line : m_lines)
        total += line.size() + 2;
    QByteArray bytes;
    bytes.reserve(total);
    for (const QByteArray& line : m_lines)
        bytes.append(line).append("\r\n", 2);
    bytes.append(m_afterText);
    SafeFile::write(m_fileName, bytes);
    m_changed = false;
    m_stamp = FileStamp::of(m_fileName);
}
