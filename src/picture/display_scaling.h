#pragma once
#include <QImage>
#include <QSize>

// The picture at a display size, quick enough to follow a selection at once
// even for pictures of tens of megapixels.
QImage scaledForDisplay(const QImage& picture, QSize target);
