#pragma once
#include <QSizeF>
#include <QString>

// Shrinks a picture area by 1% steps on both sides until its width is at most
// 0.743 of the window's outer width, then until its height is at most 0.896
// of the window's outer height. Sizes are twips, kept in single precision; a
// step that changes nothing ends the shrinking.
QSizeF autoZoomSize(QSizeF picture, QSizeF window);

// "640 x 480" for an area of 9600 x 7200 twips at 15 twips per pixel.
QString sizeText(double widthTwips, double heightTwips, double twipsPerPixelX,
                 double twipsPerPixelY);
