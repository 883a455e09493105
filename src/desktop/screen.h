#pragma once
#include <QPointF>
#include <QSizeF>

class QWidget;

// The screen as the window layouts see it: its size in twips and how many
// twips make a pixel (1440 / logical DPI).
class Screen {
public:
    virtual ~Screen() = default;
    virtual QSizeF sizeTwips() const = 0;
    virtual double twipsPerPixelX() const = 0;
    virtual double twipsPerPixelY() const = 0;
};

// The screen in use, installed with the rest of the desktop (tests install
// a fixed one).
void installScreen(const Screen* screen);
const Screen& screen();

// Twips to whole pixels and back, with the screen's scale.
int twipsToPixelsX(double twips);
int twipsToPixelsY(double twips);
double pixelsToTwipsX(double pixels);
double pixelsToTwipsY(double pixels);
// Places a control at a design position given in twips (left, top, width,
// height) within its parent.
void placeTwips(QWidget* control, double left, double top, double width, double height);

// A window's left and top, in twips, that keep its bottom-right corner the
// given margins (twips) away from the screen's bottom-right corner, so that a
// growing window grows up and to the left.
QPointF cornerPlacement(QSizeF window, QSizeF screen, double rightMargin, double bottomMargin);
// The margins the separate windows and the editor keep on every resize.
QPointF pincorner(QSizeF window, QSizeF screen);
