#include "controls/frame_player.h"

#include "jobs/job_pool.h"

FramePlayer::FramePlayer(JobPool& jobs, QObject* parent) : QObject(parent), jobs(jobs)
{
    timer.setSingleShot(true);
    connect(&timer, &QTimer::timeout, this, [this] {
        due = true;
        if (pending)
            showPending();
    });
}

FramePlayer::~FramePlayer() { stop(); }

void FramePlayer::stop()
{
    timer.stop();
    if (job)
        std::exchange(job, nullptr)->cancel();
    frames.reset();
    pending.reset();
    due = false;
}

void FramePlayer::play(const QString& path)
{
    stop();
    if (path.isEmpty())
        return;
    job = jobs.start(
        this, [path](const JobControl&) { return std::shared_ptr<AnimationFrames>(AnimationFrames::open(path)); },
        [this](std::shared_ptr<AnimationFrames> opened) {
            job.reset();
            if (!opened)
                return;
            frames = std::move(opened);
            if (!paused)
                timer.start(frames->firstDelayMs());
            decodeNext();
        });
}

void FramePlayer::setPaused(bool on)
{
    paused = on;
    if (on)
        timer.stop();
    else if (frames && !timer.isActive())
        timer.start(0);
}

void FramePlayer::decodeNext()
{
    job = jobs.start(
        this, [source = frames](const JobControl&) { return source->next(); },
        [this](AnimationFrames::Frame next) {
            job.reset();
            pending = std::move(next);
            if (due)
                showPending();
        });
}

void FramePlayer::showPending()
{
    due = false;
    AnimationFrames::Frame next = std::move(*pending);
    pending.reset();
    // The last frame of an animation that has ended stays.
    if (next.image.isNull()) {
        frames.reset();
        return;
    }
    emit frame(next.image);
    if (!paused)
        timer.start(next.delayMs);
    decodeNext();
}
