// The editor's rich-text reader fed arbitrary files, and its writer fed what
// the reader made: reading never crashes, and what was read is written and
// read back with the same text.
#include "editor/rtf/rtf.h"

#include <QGuiApplication>
#include <QTextCursor>
#include <QTextDocument>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static QGuiApplication app(*argc, *argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, size_t size)
{
    // Most inputs should get past the check for the RTF signature.
    QByteArray data(reinterpret_cast<const char*>(bytes), qsizetype(size));
    if (!data.startsWith("{\\rtf"))
        data.prepend("{\\rtf1 ");
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
