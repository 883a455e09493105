#pragma once
#include <QString>

// The default search patterns of the two file kinds.
namespace Defaults {
inline QString picturePattern() { return QStringLiteral("*.jpg;*.jpeg;*.bmp;*.gif;*.wmf;*.emf;*.ico"); }
inline QString animationPattern() { return QStringLiteral("*.avi;*.mpg;*.mpeg;*.mov;*.viv;*.qm"); }
}
