#pragma once
#include <QByteArray>

namespace Exif {

// Whether a JPEG's EXIF data says that its numbers are Adobe RGB's, as
// cameras say it when they embed no profile: a colour space of 2, or
// "uncalibrated" with the interoperability index "R03" (DCF's Adobe RGB).
// False for anything it cannot follow.
bool saysAdobeRgb(const QByteArray& jpeg);

}
