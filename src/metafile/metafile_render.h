#pragma once
#include "picture/metafile_format.h"

#include <QByteArray>
#include <QImage>
#include <QString>

// Rendering of Windows metafiles into an image at the size their header gives
// at 96 DPI, shrunk in proportion to at most maxPixels (drawnSize), on a
// white page. natural receives the header's size. Each returns a null image
// and sets why when the data cannot be drawn.
namespace Metafile {

QImage renderWmf(const QByteArray& data, qint64 maxPixels, QSize* natural, QString* why);
QImage renderEmf(const QByteArray& data, qint64 maxPixels, QSize* natural, QString* why);
// Either, as the data's header says.
QImage render(const QByteArray& data, qint64 maxPixels, QSize* natural, QString* why);

}
