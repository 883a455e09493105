#pragma once
#include "metafile/gdi_canvas.h"

namespace Metafile {

// Plays an EMF file's records, header first, onto canvas. A record that runs
// past the end of the data ends the drawing; what came before stays drawn.
// Unknown records are skipped. False when the header or the record after
// it runs past the end: nothing of the file is a metafile's drawing.
bool playEmf(const QByteArray& data, Gdi::Canvas& canvas);

}
