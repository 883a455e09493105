#pragma once
#include <QBuffer>
#include <QByteArray>
#include <QImage>
#include <QImageReader>
#include <QString>

#include <memory>

class ApngFrames;

// How long a frame that asks for delayMs stays shown: frames meant to be
// shown "at once" (0 or 10 ms) stay as long as other viewers and browsers
// show them.
int shownFrameDelay(int delayMs);

// The frames of an animated picture (GIF, WebP, PNG), read one at a time, in
// order, as often as the file says it loops. Not thread-safe: one worker
// at a time reads them.
class AnimationFrames {
public:
    struct Frame {
        QImage image;
        // How long the frame stays shown.
        int delayMs = 0;
    };

    // The frames of the file at path, already past its first frame, which
    // the picture shows; null when it is no animation of several frames or
    // cannot be read.
    static std::unique_ptr<AnimationFrames> open(const QString& path);

    ~AnimationFrames();

    // The next frame; a null image once the animation has ended.
    Frame next();
    // How long the first frame stays shown.
    int firstDelayMs() const { return firstDelay; }

private:
    explicit AnimationFrames(QByteArray bytes);
    bool restart();
    Frame nextFromReader();

    QByteArray bytes;
    QBuffer buffer;
    QImageReader reader;
    // Passes still to play after this one; -1 for ever, unknown until the
    // first pass has been read.
    int loopsLeft = -2;
    int firstDelay = 0;
    // An animated PNG, which Qt's reader sees as a still picture.
    std::unique_ptr<ApngFrames> apng;
};
