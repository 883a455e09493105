#pragma once
#include "metafile/gdi_canvas.h"
#include "metafile/record_reader.h"

namespace Metafile {

// Where a WMF's records begin: after its placeable header, if any, and its
// own header; past the end when the header does not fit.
qint64 wmfRecordsStart(const QByteArray& data);

// Applies a record that only sets up the logical-to-device mapping (map
// mode, window, viewport); false for any other.
bool followWmfMapping(Gdi::DeviceContext& dc, quint16 function, const RecordReader& record);

// Plays a WMF file's records onto canvas, from the device context it holds.
// A record that runs past the end of
// the data ends the drawing; what came before stays drawn. Unknown records
// and escapes are skipped. False when the first record already runs past
// the end: nothing of the file is a drawing.
bool playWmf(const QByteArray& data, Gdi::Canvas& canvas);

}
