#pragma once
#include "picture/animation_frames.h"

#include <QObject>
#include <QTimer>

#include <memory>
#include <optional>

class JobControl;
class JobPool;

// Plays an animated picture's frames with their own delays: each frame is
// decoded on a worker while the one before is on show.
class FramePlayer : public QObject {
    Q_OBJECT
public:
    FramePlayer(JobPool& jobs, QObject* parent);
    ~FramePlayer() override;

    // Plays the file at path when it is an animation, from its second frame
    // on (the first is on show); the empty path, or a still picture, stops.
    void play(const QString& path);
    // A view out of sight holds its frame.
    void setPaused(bool paused);
    bool playing() const { return frames != nullptr; }

signals:
    void frame(const QImage& image);

private:
    void stop();
    void decodeNext();
    void showPending();

    JobPool& jobs;
    std::shared_ptr<AnimationFrames> frames;
    std::shared_ptr<JobControl> job;
    QTimer timer;
    std::optional<AnimationFrames::Frame> pending;
    // The frame on show has had its time.
    bool due = false;
    bool paused = false;
};
