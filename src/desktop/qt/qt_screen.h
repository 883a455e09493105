#pragma once
#include "desktop/screen.h"

// The primary screen as Qt reports it.
class QtScreen : public Screen {
public:
    QSizeF sizeTwips() const override;
    double twipsPerPixelX() const override;
    double twipsPerPixelY() const override;
};
