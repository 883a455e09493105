#include "desktop/qt/qt_screen.h"

#include <QGuiApplication>
#include <QScreen>

QSizeF QtScreen::sizeTwips() const
{
    const QSize px = QGuiApplication::primaryScreen()->geometry().size();
    return {px.width() * twipsPerPixelX(), px.height() * twipsPerPixelY()};
}

double QtScreen::twipsPerPixelX() const
{
    return 1440.0 / QGuiApplication::primaryScreen()->logicalDotsPerInchX();
}

double QtScreen::twipsPerPixelY() const
{
    return 1440.0 / QGuiApplication::primaryScreen()->logicalDotsPerInchY();
}
