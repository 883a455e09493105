#pragma once

// What the launcher calls in the viewer module: the program's arguments as
// Qt wants them, and the start path's bytes ("" for none).
using ViewerEntry = int (*)(int argc, char** argv, const char* startPath);
inline constexpr char kViewerModuleName[] = "pixalto-viewer.so";
inline constexpr char kViewerEntryName[] = "pixaltoViewerMain";
