#pragma once
#include <QByteArray>
#include <QImage>

// Pictures are shown in sRGB, as other viewers show them: one with an
// embedded ICC profile is converted from it by LittleCMS, one without is
// taken as sRGB already.
namespace ColourProfile {

// image in sRGB. profile is the file's ICC profile, empty when it has none;
// cmyk says that image holds a JPEG's inverted CMYK inks, one byte each, in
// place of RGB32's bytes. A profile that does not fit the pixels, or that
// LittleCMS cannot read, is ignored as if absent.
QImage inSrgb(QImage image, const QByteArray& profile, bool cmyk);
// The same for a picture a Qt reader read, whose colour space it tells.
QImage inSrgb(QImage image);

}
