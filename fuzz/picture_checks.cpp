// The checks a picture file meets before and while it is decoded: the
// metafile header rules, every raster format's header and completeness
// checks, and an animated PNG's frames, fed arbitrary bytes. A refusal is an answer; a crash or a
// sanitizer report is a fault.
#include "core/failure.h"
#include "picture/apng_frames.h"
#include "picture/metafile_format.h"
#include "picture/picture_loader.h"

#include <QCoreApplication>
#include <cstdint>

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    // Qt finds its image format plug-ins through the application.
    static QCoreApplication app(*argc, *argv);
    preparePictureReading();
    return 0;
}

// The checks and decoders take the same paths for a small picture as for a
// large one; a header claiming more is refused as one beyond the real limit
// is, instead of spending each input on filling millions of pixels.
constexpr qint64 maxPixels = 256 * 256;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, size_t size)
{
    const QByteArray data(reinterpret_cast<const char*>(bytes), qsizetype(size));
    Metafile::headerSize(data);
    try {
        decodePictureData(data, maxPixels);
    } catch (const PxError&) {
    }
    // An animated PNG's frames, twice round at most.
    if (const auto apng = ApngFrames::parse(data))
        for (int frame = 0; frame < 8 && !apng->next().image.isNull(); ++frame) {
        }
    return 0;
}
