// What the metafile helper does with a file's bytes: recognise the format,
// read the header's size and draw it, here at a small size so that each input
// is quick. A refusal is an answer; a crash, a hang or a sanitizer report is
// a fault.
#include "metafile/metafile_render.h"

#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, size_t size)
{
    const QByteArray data(reinterpret_cast<const char*>(bytes), qsizetype(size));
    constexpr qint64 maxPixels = 64 * 64;
    QSize natural;
    QString why;
    Metafile::render(data, maxPixels, &natural, &why);
    return 0;
}
