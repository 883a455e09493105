#pragma once
#include "core/failure.h"

#include <QSize>
#include <QString>
#include <QWidget>

#include <memory>

// The movie-player control: one libmpv-based widget that serves both the main
// window's animation control and the Vivo player window. On a real display it
// renders through OpenGL; on the offscreen platform it plays with no video or
// audio output, so the same code runs headless.
class MoviePlayer : public QWidget {
    Q_OBJECT
public:
    explicit MoviePlayer(QWidget* parent = nullptr);
    ~MoviePlayer() override;

    // Starts loading the file and returns at once: started() or failed()
    // follows once the player has opened or refused it. Throws PxError for a
    // file it can tell at once it cannot play. A newer name, or the empty
    // text, supersedes a load under way, whose outcome then never comes. The
    // empty text stops the movie and releases the file.
    void setFileName(const QString& path);
    QString fileName() const;
    // A file was given and neither started() nor failed() came yet.
    bool loading() const;
    // How long the player may take to open or refuse a file before the
    // load fails; for a load started afterwards.
    void setLoadWaitMs(int ms);

    void setSpeed(double speed);
    double speed() const;

    void play();
    void pause();
    bool isPaused() const;

    // Duration, size and description are those the player told when the
    // file started: 0 and 0 x 0 before.
    qint32 durationMs() const;
    qint32 positionMs() const;
    // The video's own size in pixels.
    QSize videoSize() const;
    // Format, codecs, size and duration.
    QString mediaInfo() const;

signals:
    // The file given last has been loaded and starts playing; its size,
    // duration and description can be read.
    void started();
    // The file given last cannot be played; the player is left empty.
    void failed(const Failure& failure);
    // The play position, a few times a second while playing.
    void timeChanged(qint32 positionMs);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    struct Impl;
    std::unique_ptr<Impl> d;
};
