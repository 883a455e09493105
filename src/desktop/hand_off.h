#pragma once
#include "desktop/mime_apps.h"

#include <QString>

// Handing a file to the application the desktop opens its type with. The
// viewer itself is a registered application for pictures, so a hand-off to
// it would start a copy that fails on the same file and hands it on again.
namespace HandOff {

// Set in the environment of the opener, so that a viewer it starts never
// hands off in turn.
inline constexpr char marker[] = "PIXALTO_HANDED_OFF";

// The desktop entry of the application that would open files of mimeType
// under folders. Throws PxError (no associated application) when there is
// none, or when it is this program: its desktop id, or an entry whose
// command runs this executable.
QString application(const XdgFolders& folders, const QString& mimeType);
// The same for path, under the environment's folders; always refused in a
// copy of this program that a hand-off started.
QString application(const QString& path);

}
