#pragma once
#include <QFont>
#include <QPointF>
#include <QSizeF>

class QWidget;

// The screen as the window layouts see it: its size in twips and how many
// twips make a pixel (1440 / logical DPI). Whoever starts the windows owns
// it; the windows, and the controls they make, are handed it.
class Screen {
public:
    virtual ~Screen() = default;
    virtual QSizeF sizeTwips() const = 0;
    virtual double twipsPerPixelX() const = 0;
    virtual double twipsPerPixelY() const = 0;

    // Twips to whole pixels and back, with this screen's scale.
    int twipsToPixelsX(double twips) const;
    int twipsToPixelsY(double twips) const;
    double pixelsToTwipsX(double pixels) const;
    double pixelsToTwipsY(double pixels) const;
    // Twips per device pixel where the widget is shown. Under a scale factor
    // a pixel of the layouts is several device pixels; a picture at 1:1
    // gives each of its pixels one device pixel.
    double twipsPerDevicePixelX(const QWidget* widget) const;
    double twipsPerDevicePixelY(const QWidget* widget) const;
    // Places a control at a design position given in twips (left, top,
    // width, height) within its parent.
    void placeTwips(QWidget* control, double left, double top, double width, double height) const;
};

// The narrow 8-point sans font the design positions were made for.
QFont designFont();
// Gives a window of design positions that font for good: a font that a
// desktop theme sets later for the whole program does not reach its
// controls, which would then run into each other.
void useDesignFont(QWidget* window);

// A window's left and top, in twips, that keep its bottom-right corner the
// given margins (twips) away from the screen's bottom-right corner, so that a
// growing window grows up and to the left.
QPointF cornerPlacement(QSizeF window, QSizeF screen, double rightMargin, double bottomMargin);
// The margins the separate windows and the editor keep on every resize.
QPointF pincorner(QSizeF window, QSizeF screen);
