// Any bytes as a day file: decoding never fails, the text read writes back to the same bytes,
// and an edit writes bytes that read back as the edited text.
#include "FuzzRequire.h"
#include "core/storage/CodePage932.h"

#include "core/storage/Spelling.h"

#include <QByteArray>

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    const QString text = CodePage932::decode(bytes);
    require(CodePage932::firstUnencodable(text) < 0);
    // A file may spell one character both ways; converted whole it reads the same all the same.
    require(CodePage932::decode(CodePage932::encode(text, CodePage932::spellingsOf(bytes))) ==
            text);

    const Spelling spelling(bytes, Spelling::Breaks::Collapsed);
    require(spelling.bytesFor(spelling.text()) == bytes);
    // An edit in the middle: a line typed there.
    QString edited = spelling.text();
    edited.insert(edited.size() / 2, QStringLiteral("日記\n"));
    try {
        const QByteArray written = spelling.bytesFor(edited);
        require(Spelling(written, Spelling::Breaks::Collapsed).text() == edited);
    } catch (const std::exception&) {
        // The typed text joined a stand-in for a bad byte into a character: refused, not saved.
    }
    return 0;
}
