#include "desktop/screen.h"

#include <QWidget>
#include <cmath>

int Screen::twipsToPixelsX(double twips) const { return int(std::lround(twips / twipsPerPixelX())); }
int Screen::twipsToPixelsY(double twips) const { return int(std::lround(twips / twipsPerPixelY())); }
double Screen::pixelsToTwipsX(double pixels) const { return pixels * twipsPerPixelX(); }
double Screen::pixelsToTwipsY(double pixels) const { return pixels * twipsPerPixelY(); }

double Screen::twipsPerDevicePixelX(const QWidget* widget) const
{
    return twipsPerPixelX() / widget->devicePixelRatioF();
}

double Screen::twipsPerDevicePixelY(const QWidget* widget) const
{
    return twipsPerPixelY() / widget->devicePixelRatioF();
}

void Screen::placeTwips(QWidget* control, double left, double top, double width, double height) const
{
    control->setGeometry(twipsToPixelsX(left), twipsToPixelsY(top), twipsToPixelsX(width),
                         twipsToPixelsY(height));
}

QFont designFont()
{
    QFont font(QStringLiteral("Liberation Sans"), 8, QFont::Normal);
    // Every property is the design's own; none is taken from the font
    // around it.
    font.setResolveMask(QFont::AllPropertiesResolved);
    return font;
}

void useDesignFont(QWidget* window) { window->setFont(designFont()); }

QPointF cornerPlacement(QSizeF window, QSizeF screen, double rightMargin, double bottomMargin)
{
    return {screen.width() - window.width() - rightMargin,
            screen.height() - window.height() - bottomMargin};
}

QPointF pincorner(QSizeF window, QSizeF screen) { return cornerPlacement(window, screen, 50, 600); }
