#pragma once
#include <QImage>
#include <QString>

// A picture as decoded for showing, perhaps smaller than its natural size,
// that still gives the whole picture: decoded from its file when first
// asked for.
class WholePicture {
public:
    WholePicture() = default;
    // source: the file to decode the whole picture from when shown is smaller.
    WholePicture(QImage shown, QString source = {});

    const QImage& shown() const { return image; }
    const QString& source() const { return path; }
    // Decoded smaller than its natural size, from a file that has the rest.
    bool reduced() const;
    // The whole picture's size, told without decoding it.
    QSize size() const;
    // Throws PxError when the file no longer decodes.
    const QImage& whole() const;
    // Whether whole() has the picture at hand, without decoding.
    bool wholeAtHand() const { return !reduced() || !full.isNull(); }
    // Takes the whole picture decoded elsewhere from the same file.
    void keepWhole(QImage decoded) const { full = std::move(decoded); }
    operator const QImage&() const { return whole(); }

private:
    QImage image;
    QString path;
    mutable QImage full;
};
