#pragma once
#include <QByteArray>
#include <QSize>
#include <QString>

// Vivo 1.0 movies: a text header packet, then the H.263 pictures in
// numbered video packets.
namespace VivoWriter {

// Wraps a raw H.263 stream (as ffmpeg writes with -f h263) of size pixels
// at fps pictures a second.
QByteArray wrap(const QByteArray& h263, int fps, QSize size);

// A 2 s clip of ffmpeg's test pattern, 176 x 144 (the QCIF size H.263
// needs). At 25 pictures a second: demuxers time Vivo 1.0 pictures at that
// rate whatever the header says. Empty, and why set, when ffmpeg fails.
QByteArray testClip(QString* why);

}
