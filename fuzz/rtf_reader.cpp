// The editor's rich-text reader fed arbitrary files, and its writer fed what
// the reader made: reading never crashes, and what was read is written and
// read back with the same text.
#include "editor/rtf/rtf.h"
#include "rtf_input.h"

#include <QTextCursor>
#include <QTextDocument>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, size_t size)
{
    const QByteArray data = rtfInput(bytes, size);
    QTextDocument document;
    QTextCursor cursor(&document);
    if (!insertRtf(cursor, data))
        std::abort();
    QTextDocument back;
    QTextCursor end(&back);
    if (!insertRtf(end, writeRtf(document)) || back.toRawText() != document.toRawText())
        std::abort();
    return 0;
}
