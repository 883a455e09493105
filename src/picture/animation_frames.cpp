#include "picture/animation_frames.h"

#include "picture/apng_frames.h"
#include "picture/colour_profile.h"

#include <QFile>

namespace {
// Larger files, and larger frames, are shown still rather than held in
// memory and decoded whole many times a second.
constexpr qint64 maxBytes = 64 * 1024 * 1024;
constexpr qint64 maxFramePixels = 4096 * 4096;
constexpr int minDelayMs = 20;
constexpr int shortDelayMs = 100;
}

int shownFrameDelay(int delayMs) { return delayMs < minDelayMs ? shortDelayMs : delayMs; }

AnimationFrames::AnimationFrames(QByteArray data) : bytes(std::move(data))
{
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    reader.setDevice(&buffer);
}

AnimationFrames::~AnimationFrames() = default;

std::unique_ptr<AnimationFrames> AnimationFrames::open(const QString& path)
{
    // The format is told by the file's first bytes: a still picture is not
    // read again.
    QImageReader probe(path);
    const bool png = probe.format() == "png";
    if (!png && !probe.supportsAnimation())
        return nullptr;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly) || file.size() > maxBytes)
        return nullptr;
    if (png) {
        if (!ApngFrames::announcesAnimation(file) || !file.seek(0))
            return nullptr;
        std::unique_ptr<AnimationFrames> frames(new AnimationFrames({}));
        frames->apng = ApngFrames::parse(file.readAll());
        // The first frame is already on show; it is painted on the canvas
        // all the same, for the frames drawn over it.
        const Frame first = frames->apng ? frames->apng->next() : Frame{};
        if (first.image.isNull())
            return nullptr;
        frames->firstDelay = first.delayMs;
        return frames;
    }
    std::unique_ptr<AnimationFrames> frames(new AnimationFrames(file.readAll()));
    QImageReader& reader = frames->reader;
    const QSize size = reader.size();
    if (!reader.supportsAnimation() || qint64(size.width()) * size.height() > maxFramePixels
        || reader.imageCount() == 1)
        return nullptr;
    // The first frame is already on show.
    QImage first;
    if (!reader.read(&first) || !reader.canRead())
        return nullptr;
    frames->firstDelay = shownFrameDelay(reader.nextImageDelay());
    return frames;
}

bool AnimationFrames::restart()
{
    if (loopsLeft == -2)
        loopsLeft = reader.loopCount() < 0 ? -1 : reader.loopCount();
    if (loopsLeft == 0)
        return false;
    if (loopsLeft > 0)
        --loopsLeft;
    buffer.seek(0);
    reader.setDevice(nullptr);
    reader.setDevice(&buffer);
    return reader.canRead();
}

AnimationFrames::Frame AnimationFrames::next()
{
    if (apng) {
        Frame frame = apng->next();
        frame.image = ColourProfile::inSrgb(std::move(frame.image));
        return frame;
    }
    return nextFromReader();
}

AnimationFrames::Frame AnimationFrames::nextFromReader()
{
    if (!reader.canRead() && !restart())
        return {};
    Frame frame;
    if (!reader.read(&frame.image))
        return {};
    frame.image = ColourProfile::inSrgb(std::move(frame.image));
    frame.delayMs = shownFrameDelay(reader.nextImageDelay());
    return frame;
}
