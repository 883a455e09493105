#include "picture/display_scaling.h"

#include <vector>

namespace {
// Picks every n-th pixel: costs only what it writes. Qt's own fast scaling
// goes through a general transform and takes as long as a smooth one.
QImage pickPixels(const QImage& source, QSize target)
{
    QImage out(target, source.format());
    std::vector<int> columns(size_t(target.width()));
    for (int x = 0; x < target.width(); ++x)
        columns[size_t(x)] = int(qint64(x) * source.width() / target.width());
    for (int y = 0; y < target.height(); ++y) {
        const auto* in = reinterpret_cast<const quint32*>(
            source.constScanLine(int(qint64(y) * source.height() / target.height())));
        auto* line = reinterpret_cast<quint32*>(out.scanLine(y));
        for (int x = 0; x < target.width(); ++x)
            line[x] = in[columns[size_t(x)]];
    }
    return out;
}

bool fourBytesPerPixel(const QImage& image)
{
    return image.format() == QImage::Format_RGB32 || image.format() == QImage::Format_ARGB32
        || image.format() == QImage::Format_ARGB32_Premultiplied;
}
}

QImage scaledForDisplay(const QImage& picture, QSize target)
{
    // A smooth scale reads every source pixel; for a large reduction, first
    // pick pixels down to twice the target.
    const QSize twice = target * 2;
    if (fourBytesPerPixel(picture) && picture.width() > 2 * twice.width()
        && picture.height() > 2 * twice.height())
        return pickPixels(picture, twice).scaled(target, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    return picture.scaled(target, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
}
