#include "controls/image_view.h"

#include "desktop/screen.h"
#include "picture/display_scaling.h"
#include "picture/picture_loader.h"

#include <QMouseEvent>
#include <QPainter>

ImageView::ImageView(QWidget* parent) : QWidget(parent) {}

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

double ImageView::naturalWidthTwips() const { return naturalSize(image).width() * twipsPerDevicePixelX(this); }
double ImageView::naturalHeightTwips() const { return naturalSize(image).height() * twipsPerDevicePixelY(this); }

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
    // Compared in device pixels: at 1:1 each picture pixel is one of them,
    // whatever the scale factor.
    const qreal ratio = devicePixelRatioF();
    const QSize device = (QSizeF(size()) * ratio).toSize();
    if (device == image.size()) {
        painter.drawImage(QRectF(rect()), image);
        return;
    }
    // An enlargement (a zoom, or a drawing made smaller than its natural
    // size) is drawn for the exposed part only: scaled whole it could take
    // gigabytes.
    if (device.width() > image.width() || device.height() > image.height()) {
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        painter.drawImage(QRectF(rect()), image);
        return;
    }
    // Scaling a large picture on every paint is slow; keep the last result.
    if (scaledCache.size() != device) {
        QImage scaled = scaledForDisplay(image, device);
        scaled.setDevicePixelRatio(ratio);
        scaledCache = QPixmap::fromImage(std::move(scaled));
    }
    painter.drawPixmap(0, 0, scaledCache);
}

void ImageView::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton)
        emit clicked();
}

double keypadZoomFactor(int key, Qt::KeyboardModifiers shift)
{
    if (!shift.testFlag(Qt::KeypadModifier))
        return 0;
    return key == Qt::Key_Plus ? 1.05 : key == Qt::Key_Minus ? 0.95 : 0;
}
