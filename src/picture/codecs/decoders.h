#pragma once
#include <QByteArray>
#include <QImage>
#include <QSize>

// HEIF through libheif: HEIC from phones and cameras, AVIF. libheif turns
// the picture upright (its rotation and mirror boxes) itself.
bool heifCanRead(const QByteArray& head);
QSize heifSize(const QByteArray& head, qint64 fileSize);
bool heifRead(const QByteArray& data, QImage* image);

// JPEG XL through libjxl, upright by its orientation; an animation gives
// its first frame.
bool jxlCanRead(const QByteArray& head);
QSize jxlSize(const QByteArray& head, qint64 fileSize);
bool jxlRead(const QByteArray& data, QImage* image);
