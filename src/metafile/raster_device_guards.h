#pragma once

struct _wmfAPI;
struct _wmfFunctionReference;

namespace Metafile {

// Keeps libwmf's raster device within bounds on hostile input. Lines of pens
// wider than a few pixels are filled as polygons instead of stamped: the
// device stamps its nib at every pixel of a line, so the cost grows with the
// square of the width. Bitmaps are checked before libwmf's reader sees them.
// original receives the device's own functions, which the guards call, and
// must outlive the session.
void guardRasterDevice(_wmfAPI* api, _wmfFunctionReference* original);

}
