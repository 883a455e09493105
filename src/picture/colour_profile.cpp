#include "picture/colour_profile.h"

#include <QColorSpace>
#include <lcms2.h>
#include <algorithm>
#include <cstring>
#include <memory>
#include <system_error>
#include <thread>
#include <vector>

namespace ColourProfile {
namespace {

struct ProfileCloser {
    void operator()(void* profile) const { cmsCloseProfile(profile); }
};
struct TransformDeleter {
    void operator()(void* transform) const { cmsDeleteTransform(transform); }
};
using Profile = std::unique_ptr<void, ProfileCloser>;
using Transform = std::unique_ptr<void, TransformDeleter>;

// Adobe's CMYK JPEGs, the common kind, store the inks inverted; without a
// profile they are mixed as plain inks.
void plainInks(QImage& image)
{
    for (int y = 0; y < image.height(); ++y) {
        auto* line = reinterpret_cast<quint32*>(image.scanLine(y));
        const auto* in = reinterpret_cast<const uchar*>(line);
        for (int x = 0; x < image.width(); ++x) {
            const uchar* p = in + 4 * x;
            const int k = p[3];
            line[x] = qRgb(k * p[0] / 255, k * p[1] / 255, k * p[2] / 255);
        }
    }
}

// The pixels' layout for LittleCMS: RGB32 and ARGB32 are B, G, R, A in
// memory on the little-endian machines the program is built for.
Transform toSrgb(const Profile& from, cmsUInt32Number inputFormat)
{
    const Profile srgb(cmsCreate_sRGBProfile());
    // An alpha byte passes through. LittleCMS's sRGB is a version 4 profile,
    // whose perceptual intent would also stretch a CMYK black to sRGB's;
    // relative colorimetric gives what other viewers and ImageMagick show.
    // Without its one-pixel cache a transform serves several threads at once.
    const cmsUInt32Number flags = cmsFLAGS_NOCACHE | (T_EXTRA(inputFormat) ? cmsFLAGS_COPY_ALPHA : 0);
    return Transform(cmsCreateTransform(from.get(), inputFormat, srgb.get(), TYPE_BGRA_8,
                                        INTENT_RELATIVE_COLORIMETRIC, flags));
}

constexpr qint64 minPixelsToSplit = 1 << 20;
constexpr int maxBands = 8;

// Each row through one line, which also gives CMYK's missing alpha. The
// rows are reached through the bits taken once: QImage's own accessors
// would check for sharing from every thread.
void convertRows(uchar* bits, qsizetype stride, int width, void* transform, int from, int to)
{
    std::vector<quint32> converted(size_t(width), 0xff000000u);
    for (int y = from; y < to; ++y) {
        uchar* line = bits + y * stride;
        cmsDoTransform(transform, line, converted.data(), cmsUInt32Number(width));
        std::memcpy(line, converted.data(), converted.size() * sizeof(quint32));
    }
}

bool isSrgb(const QByteArray& profile)
{
    const QColorSpace space = QColorSpace::fromIccProfile(profile);
    return space.isValid() && space == QColorSpace(QColorSpace::SRgb);
}

}

QImage inSrgb(QImage image, const QByteArray& profile, bool cmyk)
{
    const Profile from(profile.isEmpty() || (!cmyk && isSrgb(profile))
                           ? nullptr
                           : cmsOpenProfileFromMem(profile.constData(), cmsUInt32Number(profile.size())));
    const cmsColorSpaceSignature space = from ? cmsGetColorSpace(from.get()) : cmsSigRgbData;
    Transform transform;
    if (from && cmyk && space == cmsSigCmykData)
        transform = toSrgb(from, TYPE_CMYK_8_REV);
    else if (from && !cmyk && space == cmsSigRgbData)
        transform = toSrgb(from, TYPE_BGRA_8);
    if (!transform) {
        if (cmyk)
            plainInks(image);
        return image;
    }
    if (!cmyk && image.format() != QImage::Format_RGB32 && image.format() != QImage::Format_ARGB32)
        image.convertTo(image.hasAlphaChannel() ? QImage::Format_ARGB32 : QImage::Format_RGB32);
    // Large pictures are split into bands, one a core: LittleCMS turns
    // about 70 megapixels a second on one.
    const int bands = image.width() * qint64(image.height()) >= minPixelsToSplit
        ? std::clamp(int(std::thread::hardware_concurrency()), 1, maxBands) : 1;
    uchar* bits = image.bits();
    const qsizetype stride = image.bytesPerLine();
    std::vector<std::thread> helpers;
    for (int band = 1; band < bands; ++band) {
        const int from = band * image.height() / bands, to = (band + 1) * image.height() / bands;
        try {
            helpers.emplace_back(convertRows, bits, stride, image.width(), transform.get(), from, to);
        } catch (const std::system_error&) {
            convertRows(bits, stride, image.width(), transform.get(), from, to);
        }
    }
    convertRows(bits, stride, image.width(), transform.get(), 0, image.height() / bands);
    for (std::thread& helper : helpers)
        helper.join();
    image.setColorSpace(QColorSpace(QColorSpace::SRgb));
    return image;
}

QImage inSrgb(QImage image)
{
    const QColorSpace space = image.colorSpace();
    return space.isValid() ? inSrgb(std::move(image), space.iccProfile(), false) : image;
}

}
