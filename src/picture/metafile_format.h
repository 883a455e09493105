#pragma once
#include <QByteArray>
#include <QtGlobal>

// What the picture loader and the metafile helper agree on.
namespace Metafile {

// Larger pictures are refused before anything is allocated for them.
constexpr qint64 maxPixels = 100'000'000;

// Recognised by content, whatever the file is called.
bool isWmf(const QByteArray& data);
bool isEmf(const QByteArray& data);

}
