#pragma once
#include <QImage>
#include <QString>

// Writes a picture as a BMP file, replacing a file of that name only when the
// new one is complete and refusing a protected one, like FileSystem::copy.
void writeBmp(const QImage& picture, const QString& path);
