#pragma once
#include <QSize>
#include <QString>
#include <QWidget>

// The movie-player control: one libmpv-based widget that serves both the main
// window's animation control and the Vivo player window. On a real display it
// renders through OpenGL; on the offscreen platform it plays with no video or
// audio output, so the same code runs headless.
class MoviePlayer : public QWidget {
    Q_OBJECT
public:
    explicit MoviePlayer(QWidget* parent = nullptr);
    ~MoviePlayer() override;

    // Loads the file and starts playing it. Waits until the player has opened
    // the file or refused it; throws PxError when it cannot be played. The
    // empty text stops the movie and releases the file.
    void setFileName(const QString& path);
    QString fileName() const;

    void setSpeed(double speed);
    double speed() const;

    void play();
    void pause();
    bool isPaused() const;

    qint32 durationMs() const;
    qint32 positionMs() const;
    // The video's own size in pixels (0 x 0 before a file is loaded).
    QSize videoSize() const;
    // Format, codecs, size and duration as the player reports them.
    QString mediaInfo() const;

signals:
    // A movie has been loaded and starts playing (emitted before setFileName
    // returns).
    void started();
    // The play position, a few times a second while playing.
    void timeChanged(qint32 positionMs);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    struct Impl;
    Impl* d;
};
