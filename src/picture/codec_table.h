#pragma once
#include <QByteArray>
#include <QImage>
#include <QSize>

// The HEIF and JPEG XL decoders, in a module of their own that the first
// such picture opens: their libraries (x265, aom, dav1d, de265, brotli,
// highway) would otherwise load, and cost milliseconds, with every start.
struct CodecTable {
    // Whether head, the file's first 12 bytes, starts a file the decoder reads.
    bool (*heifCanRead)(const QByteArray& head);
    // The upright size from the file's first bytes and its length; invalid
    // when they do not tell it.
    QSize (*heifSize)(const QByteArray& head, qint64 fileSize);
    // False when the data is no picture the decoder can read.
    bool (*heifRead)(const QByteArray& data, QImage* image);
    bool (*jxlCanRead)(const QByteArray& head);
    QSize (*jxlSize)(const QByteArray& head, qint64 fileSize);
    bool (*jxlRead)(const QByteArray& data, QImage* image);
};

// The module's one exported symbol: a function returning its table.
inline constexpr char kCodecModuleName[] = "pixalto-codecs.so";
inline constexpr char kCodecTableEntry[] = "pixaltoCodecTable";
using CodecTableEntry = const CodecTable* (*)();

// The table, the module opened on the first call from any thread; null when
// the module cannot be loaded (said once on standard error).
const CodecTable* codecTable();
