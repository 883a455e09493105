#pragma once
#include "picture/metafile_format.h"

#include <QByteArray>
#include <QImage>
#include <QString>

// Rendering of Windows metafiles into an image at the size their header gives
// at 96 DPI, on a white page. Each returns a null image and sets why when the
// data cannot be drawn.
namespace Metafile {

QImage renderWmf(const QByteArray& data, QString* why);
QImage renderEmf(const QByteArray& data, QString* why);

}
