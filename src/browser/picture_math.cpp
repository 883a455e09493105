#include "browser/picture_math.h"

namespace {
bool shrinkWhile(float& width, float& height, bool (*tooBig)(float, float, QSizeF), QSizeF window)
{
    while (tooBig(width, height, window)) {
        const float w = float(double(width) * 0.99);
        const float h = float(double(height) * 0.99);
        if (w == width && h == height)
            return false;
        width = w;
        height = h;
    }
    return true;
}
}

QSizeF autoZoomSize(QSizeF picture, QSizeF window)
{
    float width = float(picture.width());
    float height = float(picture.height());
    shrinkWhile(width, height, [](float w, float, QSizeF win) { return 0.743 * win.width() < w; }, window);
    shrinkWhile(height, width, [](float h, float, QSizeF win) { return 0.896 * win.height() < h; }, window);
    return {width, height};
}

QString sizeText(double widthTwips, double heightTwips, double twipsPerPixelX, double twipsPerPixelY)
{
    return QString::number(float(widthTwips / twipsPerPixelX)) + QStringLiteral(" x ")
         + QString::number(float(heightTwips / twipsPerPixelY));
}
