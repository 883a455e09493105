#pragma once
#include <QSizeF>

// The screen as the window layouts see it: its size in twips and how many
// twips make a pixel (1440 / logical DPI).
class Screen {
public:
    virtual ~Screen() = default;
    virtual QSizeF sizeTwips() const = 0;
    virtual double twipsPerPixelX() const = 0;
    virtual double twipsPerPixelY() const = 0;
};

// Twips to whole pixels and back, with the screen's scale.
int twipsToPixelsX(double twips);
int twipsToPixelsY(double twips);
double pixelsToTwipsX(double pixels);
double pixelsToTwipsY(double pixels);
