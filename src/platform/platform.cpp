#include "platform/platform.h"

#include <QWidget>
#include <cmath>

namespace {
Platform& current()
{
    static Platform p;
    return p;
}
}

Platform& platform() { return current(); }
void installPlatform(const Platform& p) { current() = p; }

int twipsToPixelsX(double twips) { return int(std::lround(twips / platform().screen->twipsPerPixelX())); }
int twipsToPixelsY(double twips) { return int(std::lround(twips / platform().screen->twipsPerPixelY())); }
double pixelsToTwipsX(double pixels) { return pixels * platform().screen->twipsPerPixelX(); }
double pixelsToTwipsY(double pixels) { return pixels * platform().screen->twipsPerPixelY(); }

void placeTwips(QWidget* control, double left, double top, double width, double height)
{
    control->setGeometry(twipsToPixelsX(left), twipsToPixelsY(top), twipsToPixelsX(width),
                         twipsToPixelsY(height));
}
