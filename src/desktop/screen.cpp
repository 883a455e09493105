#include "desktop/screen.h"

#include <QWidget>
#include <cmath>

namespace {
const Screen*& current()
{
    static const Screen* s = nullptr;
    return s;
}
}

void installScreen(const Screen* screen) { current() = screen; }
const Screen& screen() { return *current(); }

int twipsToPixelsX(double twips) { return int(std::lround(twips / screen().twipsPerPixelX())); }
int twipsToPixelsY(double twips) { return int(std::lround(twips / screen().twipsPerPixelY())); }
double pixelsToTwipsX(double pixels) { return pixels * screen().twipsPerPixelX(); }
double pixelsToTwipsY(double pixels) { return pixels * screen().twipsPerPixelY(); }

double twipsPerDevicePixelX(const QWidget* widget)
{
    return screen().twipsPerPixelX() / widget->devicePixelRatioF();
}

double twipsPerDevicePixelY(const QWidget* widget)
{
    return screen().twipsPerPixelY() / widget->devicePixelRatioF();
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

void placeTwips(QWidget* control, double left, double top, double width, double height)
{
    control->setGeometry(twipsToPixelsX(left), twipsToPixelsY(top), twipsToPixelsX(width),
                         twipsToPixelsY(height));
}

QPointF cornerPlacement(QSizeF window, QSizeF screen, double rightMargin, double bottomMargin)
{
    return {screen.width() - window.width() - rightMargin,
            screen.height() - window.height() - bottomMargin};
}

QPointF pincorner(QSizeF window, QSizeF screen) { return cornerPlacement(window, screen, 50, 600); }
