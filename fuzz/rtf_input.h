#pragma once
#include <QByteArray>
#include <cstdint>

// The fuzzer's bytes as a rich-text file: most inputs should get past the
// check for the RTF signature.
inline QByteArray rtfInput(const uint8_t* bytes, size_t size)
{
    QByteArray data(reinterpret_cast<const char*>(bytes), qsizetype(size));
    if (!data.startsWith("{\\rtf"))
        data.prepend("{\\rtf1 ");
    return data;
}
