#pragma once
#include <QByteArray>
#include <QColor>
#include <QImage>
#include <QSize>
#include <QString>
#include <QStringList>
#include <functional>

// Real files for the tests to work on.
void writeFile(const QString& path, const QByteArray& bytes = {});
void savePicture(const QString& path, QSize size, QColor colour = Qt::gray);
// A JPEG of one colour, written row by row: a size far beyond what QImage
// holds is written in seconds and compresses to a few megabytes.
void savePlainJpeg(const QString& path, QSize size, QColor colour);
// Pictures of the names in folder, each of its own colour; returns the folder.
QString savePictures(const QString& folder, const QStringList& names, QSize size = {8, 8});
// A JPEG with an Exif segment holding only the orientation tag.
QByteArray withOrientation(const QByteArray& jpeg, quint16 orientation);
// The same JPEG with an EXIF colour space and interoperability index.
QByteArray withColourSpace(const QByteArray& jpeg, quint16 colourSpace, const QByteArray& interopIndex);
// The mean of two pictures' absolute channel differences, in levels of 255
// (255 when their sizes differ).
double meanDifference(QImage a, QImage b);
// The bytes of a file; empty when it cannot be read.
QByteArray fileBytes(const QString& path);
// A size in bytes from this process's /proc status: "VmSize:", "VmHWM:"...
qint64 procStatusBytes(const char* field);
// The names in a folder, hidden ones and sub-folders included, sorted.
QStringList entries(const QString& folder);
// The picture as a file of the format would hold it.
QByteArray encoded(const QImage& image, const char* format);
// The lines of a log file, split at CR LF.
QStringList logLines(const QString& path);
// A short clip made by ffmpeg from a lavfi source such as "testsrc=size=160x120:rate=10".
bool makeClip(const QString& path, const QString& source, int seconds = 2);
// Runs each check at once in a child process of its own, as an ordinary user
// when asked and the tests run as root (root reads and writes anywhere); true
// when every check returned true.
bool inChildProcesses(const QList<std::function<bool()>>& checks, bool asOrdinaryUser = false);
bool setMode(const QString& path, int mode);
