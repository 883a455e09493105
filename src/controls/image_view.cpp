#include "controls/image_view.h"

#include "controls/frame_player.h"
#include "desktop/screen.h"
#include "jobs/job_pool.h"
#include "picture/metafile_format.h"
#include "picture/picture_loader.h"
#include "picture/picture_preloader.h"

#include <QApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QScopeGuard>
#include <QTimer>

#include <algorithm>

namespace {
// A wheel's notch, in eighths of a degree.
constexpr int notch = 120;
}

ImageView::ImageView(JobPool& jobs, const Screen& scale, QWidget* parent)
    : QWidget(parent), jobs(jobs), scale(scale), player(new FramePlayer(jobs, this))
{
    connect(player, &FramePlayer::frame, this, [this](const QImage& next) {
        frame = next;
        update();
    });
}

ImageView::~ImageView()
{
    for (const auto& pending : {job, wholeJob})
        if (pending)
            pending->cancel();
}

void ImageView::setPicture(const QImage& picture) { setPicture(WholePicture(picture)); }

void ImageView::setPicture(const WholePicture& picture)
{
    source = picture;
    onScreen = false;
    offset = {};
    frame = QImage();
    player->play(picture.source());
    scaled = QPixmap();
    scaling = QSize();
    for (auto* pending : {&job, &wholeJob})
        if (*pending)
            std::exchange(*pending, nullptr)->cancel();
    if (!stretching)
        takeNaturalSize();
    prepare();
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

double ImageView::naturalWidthTwips() const
{
    return naturalSize(source.shown()).width() * scale.twipsPerDevicePixelX(this);
}

double ImageView::naturalHeightTwips() const
{
    return naturalSize(source.shown()).height() * scale.twipsPerDevicePixelY(this);
}

void ImageView::takeNaturalSize()
{
    w = naturalWidthTwips();
    h = naturalHeightTwips();
    applySize();
}

void ImageView::applySize()
{
    resize(qMax(0, scale.twipsToPixelsX(w)), qMax(0, scale.twipsToPixelsY(h)));
    // A hidden view gets its resize event only when shown: the scaling
    // starts now, so that it may be ready by then.
    prepare();
}

// Compared in device pixels: at 1:1 each picture pixel is one of them,
// whatever the scale factor.
QSize ImageView::deviceSize() const { return (QSizeF(size()) * devicePixelRatioF()).toSize(); }

QPixmap ImageView::ready() const { return scaled.size() == deviceSize() ? scaled : QPixmap(); }

// A window sets a picture, its natural size and then the zoomed size in one
// go: only the size the view has once that is done is worth a job (a decode
// already started is not stopped by its cancelling).
void ImageView::prepare()
{
    if (std::exchange(preparing, true))
        return;
    QTimer::singleShot(0, this, [this] {
        preparing = false;
        startScaling();
    });
}

// Starts scaling the picture to the present size unless paint can draw it as
// it is: at its own size, or enlarged, which is drawn for the exposed part
// only (scaled whole it could take gigabytes). A picture decoded smaller
// than it is now shown is decoded again from its file at this size first.
void ImageView::startScaling()
{
    const QImage& image = source.shown();
    const QSize device = deviceSize();
    if (image.isNull() || device.isEmpty() || device == image.size() || device == scaling || !ready().isNull())
        return;
    const bool larger = device.width() > image.width() || device.height() > image.height();
    if (larger && !source.reduced())
        return;
    if (job)
        job->cancel();
    scaling = device;
    const qreal ratio = devicePixelRatioF();
    const QString path = larger ? source.source() : QString();
    job = jobs.start(
        this,
        [image, path, device](const JobControl& control) -> WholePicture {
            if (!path.isEmpty()) {
                try {
                    return WholePicture(loadPicture(path, control.cancelFlag(), PicturePreloader::shownPixels, device), path);
                } catch (const PxError&) {
                    return WholePicture(image, path); // gone since: the picture at hand stays
                }
            }
            return WholePicture(image.scaled(device, Qt::IgnoreAspectRatio, Qt::SmoothTransformation));
        },
        [this, device, ratio, decoded = !path.isEmpty()](WholePicture result) {
            job.reset();
            if (decoded) {
                // The view keeps what it now has; scaling starts again from it.
                source = result;
                scaled = QPixmap();
                if (device != result.shown().size() && device.width() <= result.shown().width()
                    && device.height() <= result.shown().height()) {
                    scaling = QSize();
                    startScaling();
                }
            } else {
                QImage image = result.shown();
                image.setDevicePixelRatio(ratio);
                scaled = QPixmap::fromImage(std::move(image));
            }
            update();
        });
}

void ImageView::whenWhole(std::function<void()> then)
{
    if (wholeJob)
        std::exchange(wholeJob, nullptr)->cancel();
    if (source.wholeAtHand()) {
        then();
        return;
    }
    wholeJob = jobs.start(
        this,
        [path = source.source()](const JobControl& control) {
            try {
                return loadPicture(path, control.cancelFlag(), Metafile::maxPixels);
            } catch (const PxError&) {
                return QImage(); // then's own call of picture() meets the failure
            }
        },
        [this, then = std::move(then)](QImage whole) {
            wholeJob.reset();
            if (!whole.isNull())
                source.keepWhole(std::move(whole));
            then();
        });
}

bool ImageView::animating() const { return player->playing(); }

void ImageView::showEvent(QShowEvent*) { player->setPaused(false); }

void ImageView::hideEvent(QHideEvent*) { player->setPaused(true); }

void ImageView::resizeEvent(QResizeEvent*)
{
    offset = {};
    prepare();
}

void ImageView::paintEvent(QPaintEvent*)
{
    const QImage& image = source.shown();
    if (image.isNull())
        return;
    const auto announce = qScopeGuard([this] {
        if (!std::exchange(onScreen, true))
            emit pictureOnScreen();
    });
    QPainter painter(this);
    painter.translate(-offset);
    // Frames change too often to be scaled ahead; each is drawn filtered.
    if (!frame.isNull()) {
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        painter.drawImage(QRectF(rect()), frame);
        return;
    }
    if (deviceSize() == image.size()) {
        painter.drawImage(QRectF(rect()), image);
        return;
    }
    if (const QPixmap pixmap = ready(); !pixmap.isNull()) {
        painter.drawPixmap(0, 0, pixmap);
        return;
    }
    // Until the scaled picture is ready, the last one stands in, drawn
    // without filtering: it costs only the pixels it covers.
    const bool enlarged = deviceSize().width() > image.width() || deviceSize().height() > image.height();
    painter.setRenderHint(QPainter::SmoothPixmapTransform, enlarged);
    if (!scaled.isNull() && !enlarged)
        painter.drawPixmap(QRectF(rect()), scaled, QRectF(scaled.rect()));
    else
        painter.drawImage(QRectF(rect()), image);
}

void ImageView::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton)
        emit clicked();
}

void ImageView::wheelEvent(QWheelEvent* event)
{
    if (event->modifiers().testFlag(Qt::ControlModifier)) {
        zoomTurn += event->angleDelta().y();
        for (; zoomTurn >= notch; zoomTurn -= notch)
            emit zoomStep(true);
        for (; zoomTurn <= -notch; zoomTurn += notch)
            emit zoomStep(false);
        return;
    }
    // Touchpads tell pixels; wheels tell notches, scrolled by lines of 20 pixels.
    QPoint delta = event->pixelDelta();
    if (delta.isNull())
        delta = event->angleDelta() * QApplication::wheelScrollLines() * 20 / notch;
    // Shift turns the wheel sideways, as in other viewers.
    if (event->modifiers().testFlag(Qt::ShiftModifier) && delta.x() == 0)
        delta = {delta.y(), 0};
    scrollBy(-delta);
}

// Scrolls within the part of the view that is seen: an enlarged picture runs
// past the window's edges and under the status bar.
void ImageView::scrollBy(QPoint delta)
{
    const QRect shown = visibleRegion().boundingRect();
    if (shown.isEmpty())
        return;
    const QPoint furthest(std::max(0, width() - shown.right() - 1), std::max(0, height() - shown.bottom() - 1));
    const QPoint next(std::clamp(offset.x() + delta.x(), 0, furthest.x()),
                      std::clamp(offset.y() + delta.y(), 0, furthest.y()));
    if (next != offset) {
        offset = next;
        update();
    }
}

double keypadZoomFactor(int key, Qt::KeyboardModifiers shift)
{
    if (!shift.testFlag(Qt::KeypadModifier))
        return 0;
    return key == Qt::Key_Plus ? 1.05 : key == Qt::Key_Minus ? 0.95 : 0;
}
