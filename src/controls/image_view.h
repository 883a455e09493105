#pragma once
#include "picture/whole_picture.h"

#include <QImage>
#include <QPixmap>
#include <QWidget>

#include <functional>
#include <memory>

class FramePlayer;
class JobControl;
class JobPool;
class Screen;

// The factor a key zooms a picture by: the numeric keypad's plus enlarges by
// 5 %, its minus shrinks by 5 %; any other key gives 0, no zoom (those of the
// main keyboard are ordinary keys).
double keypadZoomFactor(int key, Qt::KeyboardModifiers shift);

// The picture area. With stretching off it always has the picture's natural
// size; with stretching on the picture fills whatever size it is given.
// Sizes are kept in twips, as fractions, so that repeated scaling compounds
// exactly; the widget takes the nearest whole pixels. A picture shown smaller
// is scaled once per size, with filtering, on a worker of the pool given.
// Twips are those of the screen given, with its scale.
class ImageView : public QWidget {
    Q_OBJECT
public:
    ImageView(JobPool& jobs, const Screen& scale, QWidget* parent = nullptr);
    ~ImageView() override;

    void setPicture(const QImage& picture);
    void setPicture(const WholePicture& picture);
    void clearPicture();
    // The whole picture, decoded again when it was shown smaller; throws
    // PxError when its file no longer decodes.
    const QImage& picture() const { return source.whole(); }
    const WholePicture& wholePicture() const { return source; }
    // Runs then once picture() is at hand without decoding: at once, or after
    // decoding the whole picture on a worker. A new picture drops the wait.
    void whenWhole(std::function<void()> then);
    bool hasPicture() const { return !source.shown().isNull(); }
    // What paint draws at the present size; null while it is being scaled.
    QPixmap ready() const;

    bool stretch() const { return stretching; }
    void setStretch(bool on);

    double widthTwips() const { return w; }
    double heightTwips() const { return h; }
    void setWidthTwips(double twips);
    void setHeightTwips(double twips);
    double naturalWidthTwips() const;
    double naturalHeightTwips() const;

    // How far the picture is scrolled within the part of the view that its
    // window shows; (0, 0) unless it is larger than that part.
    QPoint scrolled() const { return offset; }
    // An animated picture (GIF, WebP) plays while the view is in sight; its
    // first frame is the picture the rest of the program sees.
    bool animating() const;

signals:
    void clicked();
    // Ctrl + wheel: one 5 % step per notch, as the keypad's plus or minus.
    void zoomStep(bool enlarge);
    // The picture last set has been painted, once per picture.
    void pictureOnScreen();

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    void applySize();
    void takeNaturalSize();
    QSize deviceSize() const;
    void prepare();
    void startScaling();
    void scrollBy(QPoint delta);
    JobPool& jobs;
    const Screen& scale;
    WholePicture source;
    // The last scaling's result, and the size the one running is for.
    QPixmap scaled;
    QSize scaling;
    std::shared_ptr<JobControl> job;
    std::shared_ptr<JobControl> wholeJob;
    bool stretching = false;
    bool preparing = false;
    bool onScreen = false;
    QPoint offset;
    FramePlayer* player;
    // The animation's frame on show, null before its second frame.
    QImage frame;
    // Ctrl + wheel turns not yet a whole notch, in eighths of a degree.
    int zoomTurn = 0;
    double w = 0;
    double h = 0;
};
