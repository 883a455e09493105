#pragma once
#include "picture/animation_frames.h"

#include <QByteArray>
#include <QImage>
#include <QIODevice>
#include <QList>

#include <memory>

// An animated PNG, which Qt reads as its still default picture: each frame
// is made into a PNG of its own for Qt's reader and painted onto the
// canvas as the frame's blend and dispose operations say.
class ApngFrames {
public:
    using Frame = AnimationFrames::Frame;

    // The animation in data, null when it is no animated PNG of several
    // frames that can be followed.
    static std::unique_ptr<ApngFrames> parse(const QByteArray& data);
    // Whether the PNG file announces an animation before its picture data:
    // read chunk header by chunk header, so a still PNG is not read whole.
    static bool announcesAnimation(QIODevice& file);

    // The next frame painted on the canvas, from the first, starting over
    // after the last while plays remain; a null image once they are done.
    Frame next();

private:
    struct Control {
        QRect area;
        int delayMs = 0;
        int dispose = 0;
        int blend = 0;
        QByteArray data; // the frame's image data, its chunks joined
    };

    QByteArray header;   // IHDR's fields after width and height
    QByteArray shared;   // the chunks every frame's PNG needs (palette, transparency, colour)
    QList<Control> frames;
    int playsLeft = 0;   // after this one; -1 for ever
    int at = 0;
    QImage canvas;
    QImage saved;        // the canvas a "previous" dispose returns to
};
