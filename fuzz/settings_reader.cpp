// The settings file reader and writer fed arbitrary files: whatever a file
// holds, reading it never crashes, and a value written into it is read back
// exactly as written.
#include "settings/ini_document.h"

#include <QCoreApplication>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerInitialize(int*, char***) { return 0; }

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, size_t size)
{
    const QByteArray data(reinterpret_cast<const char*>(bytes), qsizetype(size));
    IniDocument document = IniDocument::parse(data);
    const QString group = QStringLiteral("Pixalto");
    document.value(group, QStringLiteral("User"));
    const QString written = QString::fromUtf8(data.left(64));
    document.setValue(group, QStringLiteral("PicPattern"), written);
    if (IniDocument::parse(document.toBytes()).value(group, QStringLiteral("picpattern")) != written)
        std::abort();
    return 0;
}
