#include "picture/codec_table.h"

#include "core/program_info.h"

#include <QFile>
#include <cstdio>
#include <dlfcn.h>

namespace {
const CodecTable* openModule()
{
    const QByteArray path = QFile::encodeName(ProgramInfo::besideProgram(QString::fromLatin1(kCodecModuleName)));
    // Never closed: decoders may still run on workers at exit.
    void* module = dlopen(path.constData(), RTLD_NOW | RTLD_LOCAL);
    auto entry = module ? reinterpret_cast<CodecTableEntry>(dlsym(module, kCodecTableEntry)) : nullptr;
    if (!entry) {
        std::fprintf(stderr, "Pixalto: HEIF and JPEG XL pictures cannot be read: %s\n", dlerror());
        return nullptr;
    }
    return entry();
}
}

const CodecTable* codecTable()
{
    static const CodecTable* const table = openModule();
    return table;
}
