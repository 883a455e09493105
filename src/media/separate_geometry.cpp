#include "media/separate_geometry.h"

namespace {
constexpr double kFitFraction = 0.6;
constexpr double kShrinkStep = 0.9;
}

FittedPicture fitpicture(double width, double height, double screenWidth, double screenHeight)
{
    float w = float(width);
    float h = float(height);
    const float maxWidth = float(screenWidth * kFitFraction);
    const float maxHeight = float(screenHeight * kFitFraction);
    if (w < maxWidth && h < maxHeight)
        return {w, h, false};
    for (;;) {
        const float shorter = float(h * kShrinkStep);
        const float narrower = float(w * kShrinkStep);
        const bool shrinking = shorter < h || narrower < w;
        h = shorter;
        w = narrower;
        if ((h < maxHeight && w < maxWidth) || !shrinking)
            return {w, h, true};
    }
}
