#pragma once
#include "metafile/gdi_canvas.h"

namespace Metafile {

// Plays an EMF file's records, header first, onto canvas. A record that runs
// past the end of the data ends the drawing; what came before stays drawn.
// Unknown records are skipped. False when the damage comes before any
// record it knows after the header: the rest is not a metafile.
bool playEmf(const QByteArray& data, Gdi::Canvas& canvas);

}
