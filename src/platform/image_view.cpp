#include "platform/image_view.h"

#include "platform/screen.h"

#include <QMouseEvent>
#include <QPainter>
#include <vector>

ImageView::ImageView(QWidget* parent) : QWidget(parent) {}

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

void ImageView::setPicture(const QImage& picture)
{
    image = picture;
    scaledCache = QPixmap();
    if (!stretching)
        takeNaturalSize();
    update();
}

void ImageView::clearPicture() { setPicture(QImage()); }

void ImageView::setStretch(bool on)
{
    stretching = on;
    if (!on)
        takeNaturalSize();
    update();
}

void ImageView::setWidthTwips(double twips)
{
    w = twips;
    applySize();
}

void ImageView::setHeightTwips(double twips)
{
    h = twips;
    applySize();
}

double ImageView::naturalWidthTwips() const { return pixelsToTwipsX(image.width()); }
double ImageView::naturalHeightTwips() const { return pixelsToTwipsY(image.height()); }

void ImageView::takeNaturalSize()
{
    w = naturalWidthTwips();
    h = naturalHeightTwips();
    applySize();
}

void ImageView::applySize()
{
    resize(qMax(0, twipsToPixelsX(w)), qMax(0, twipsToPixelsY(h)));
}

void ImageView::paintEvent(QPaintEvent*)
{
    if (image.isNull())
        return;
    QPainter painter(this);
    if (!stretching || size() == image.size()) {
        painter.drawImage(0, 0, image);
        return;
    }
    // Scaling a large picture on every paint is slow; keep the last result.
    if (scaledCache.size() != size())
        scaledCache = QPixmap::fromImage(scaledForDisplay(image, size()));
    painter.drawPixmap(0, 0, scaledCache);
}

void ImageView::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton)
        emit clicked();
}
