#pragma once
#include <QImage>
#include <QPixmap>
#include <QWidget>

// The picture area. With stretching off it always has the picture's natural
// size; with stretching on the picture fills whatever size it is given.
// Sizes are kept in twips, as fractions, so that repeated scaling compounds
// exactly; the widget takes the nearest whole pixels.
// The factor a key zooms a picture by: the numeric keypad's plus enlarges by
// 5 %, its minus shrinks by 5 %; any other key gives 0, no zoom (those of the
// main keyboard are ordinary keys).
double keypadZoomFactor(int key, Qt::KeyboardModifiers shift);

class ImageView : public QWidget {
    Q_OBJECT
public:
    explicit ImageView(QWidget* parent = nullptr);

    void setPicture(const QImage& picture);
    void clearPicture();
    const QImage& picture() const { return image; }
    bool hasPicture() const { return !image.isNull(); }

    bool stretch() const { return stretching; }
    void setStretch(bool on);

    double widthTwips() const { return w; }
    double heightTwips() const { return h; }
    void setWidthTwips(double twips);
    void setHeightTwips(double twips);
    double naturalWidthTwips() const;
    double naturalHeightTwips() const;

signals:
    void clicked();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    void applySize();
    void takeNaturalSize();
    QImage image;
    QPixmap scaledCache;
    bool stretching = false;
    double w = 0;
    double h = 0;
};
