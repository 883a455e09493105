#pragma once
#include <QByteArray>
#include <QImage>
#include <QSize>

#include <atomic>

// libjpeg's decoder, used instead of Qt's because it tells in the one
// decoding pass whether the data ran out (Qt's hands out the grey-filled
// picture) and scales while it decodes.
namespace Jpeg {

struct Decoded {
    QImage image;
    // The data ended before the last row: the rest of the picture is grey.
    bool cutOff = false;
    // The pixels are the inks, C, M, Y, K, inverted as Adobe stores them.
    bool cmyk = false;
    // The embedded ICC profile, empty without one.
    QByteArray profile;
};

// The picture of data in its file's orientation, at the smallest of
// libjpeg's n/8 scales that is at least atLeast on both sides (the whole
// picture when atLeast is invalid) and has at most maxPixels pixels, decoded
// into into when that has the size and Format_RGB32. An invalid image when
// even an eighth is larger. Throws PxError on data libjpeg cannot decode,
// and, between rows, once cancelled is set.
Decoded decode(const QByteArray& data, QImage into, QSize atLeast, qint64 maxPixels,
               const std::atomic<bool>* cancelled = nullptr);

// The size decode gives a picture of size, by the same rule.
QSize scaledSize(QSize size, QSize atLeast, qint64 maxPixels);

// How many times libjpeg has been handed data to decode in this process.
int passes();

}
