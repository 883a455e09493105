#include "movie/movie_player.h"

#include "core/failure.h"
#include "core/file_name.h"
#include "jobs/cross_thread.h"

#include <QFileInfo>
#include <QGuiApplication>
#include <QOffscreenSurface>
#include <QOpenGLContext>
#include <QOpenGLFramebufferObject>
#include <QPointer>
#include <QThreadPool>
#include <QPainter>
#include <QTimer>
#include <QVariant>

#include "movie/mpv_core.h"
#include "movie/mpv_library.h"

#include <mpv/render_gl.h>

#include <atomic>
#include <functional>
#include <memory>
#include <clocale>
#include <cmath>
#include <limits>
#include <sys/stat.h>

namespace {

// How long mpv may take to open or refuse a file.
constexpr int kLoadWaitMs = 10000;

qint32 secondsToMs(double seconds)
{
    const double ms = std::round(seconds * 1000.0);
    if (!(ms > 0))
        return 0;
    return ms >= std::numeric_limits<qint32>::max() ? std::numeric_limits<qint32>::max()
                                                     : qint32(ms);
}

QString durationText(qint32 ms)
{
    const qint32 s = ms / 1000;
    return QStringLiteral("%1:%2").arg(s / 60).arg(s % 60, 2, 10, QLatin1Char('0'));
}

void* glProcAddress(void* ctx, const char* name)
{
    return reinterpret_cast<void*>(static_cast<QOpenGLContext*>(ctx)->getProcAddress(name));
}

} // namespace

struct MoviePlayer::Impl {
    MoviePlayer* q = nullptr;
    // Set when the library is loaded, before the core starts.
    const MpvApi* api = nullptr;
    mpv_handle* mpv = nullptr;
    bool coreStarting = false;
    // The speed asked for last; given to the core when it starts.
    double speed = 1.0;
    // mpv draws into a frame buffer of the player's own OpenGL context, which
    // exists from the start: a window's context appears only when it is first
    // shown, and switching mpv's video output on a playing file makes it seek,
    // which ends a movie that cannot seek (Vivo).
    std::unique_ptr<QOffscreenSurface> surface;
    std::unique_ptr<QOpenGLContext> gl;
    std::unique_ptr<QOpenGLFramebufferObject> fbo;
    mpv_render_context* render = nullptr;
    QImage frame;
    std::atomic<bool> frameQueued{false};
    QString file;
    // Playlist entries: the one that setFileName loaded, and the one mpv
    // started last. Events of other entries (a replaced file, the entries of
    // a refused playlist) are no business of this player.
    std::int64_t currentEntry = -1;
    std::int64_t startedEntry = -1;
    // The current entry is given but neither loaded nor refused yet.
    bool loadPending = false;
    QTimer* loadTimer = nullptr;
    std::atomic<bool> drainQueued{false};
    // What started() promises can be read, asked for once the file has
    // loaded, in replies: the core is busy starting the playback then, and
    // a question waiting for it would hold up the window.
    QVariantMap facts;
    int factsAwaited = 0;
    double lastTimeSent = -1.0; // quarter-seconds of the last timeChanged

    void command(std::initializer_list<const char*> args);
    QVariant property(const char* name) const;
    void drainEvents();
    void takeFact(const mpv_event& reply);
    void handleEvent(const mpv_event& event);
    void release();
    [[noreturn]] void failLoad(const QString& detail);
    void refuse(const QString& detail);
    // Starts a core on a worker unless there is one or one is starting.
    void requestCore();
    void adoptCore(const MpvApi* library, mpv_handle* core);
    // Hands the file to the core.
    void open(const QString& path);
    // Called on mpv's threads: hands work over to the Qt event loop, once
    // per batch of calls.
    void postOnce(std::atomic<bool>& queued, std::function<void()> work);
    QVariantMap firstTrack(const char* type) const;

    bool createRenderer();
    void destroyRenderer();
    void renderFrame(bool force);
};

void MoviePlayer::Impl::command(std::initializer_list<const char*> args)
{
    std::vector<const char*> argv(args);
    argv.push_back(nullptr);
    api->mpv_command(mpv, argv.data());
}

QVariant MoviePlayer::Impl::property(const char* name) const
{
    mpv_node node;
    if (!mpv || api->mpv_get_property(mpv, name, MPV_FORMAT_NODE, &node) < 0)
        return {};
    QVariant value = fromMpvNode(node);
    api->mpv_free_node_contents(&node);
    return value;
}

void MoviePlayer::Impl::drainEvents()
{
    for (;;) {
        mpv_event* event = api->mpv_wait_event(mpv, 0);
        if (event->event_id == MPV_EVENT_NONE)
            return;
        handleEvent(*event);
    }
}

void MoviePlayer::Impl::handleEvent(const mpv_event& event)
{
    switch (event.event_id) {
    case MPV_EVENT_START_FILE:
        startedEntry = static_cast<const mpv_event_start_file*>(event.data)->playlist_entry_id;
        break;
    case MPV_EVENT_FILE_LOADED:
        if (!loadPending || startedEntry != currentEntry)
            break;
    {
        // Only now: a movie paused on its end pauses again as long as that
        // end is still loaded, however soon it was told to play.
        int no = 0;
        api->mpv_set_property_async(mpv, 0, "pause", MPV_FORMAT_FLAG, &no);
        facts.clear();
        const char* const names[] = {"duration", "width", "height", "track-list", "file-format"};
        factsAwaited = int(std::size(names));
        for (const char* name : names)
            api->mpv_get_property_async(mpv, std::uint64_t(currentEntry), name, MPV_FORMAT_NODE);
        break;
    }
    case MPV_EVENT_GET_PROPERTY_REPLY:
        takeFact(event);
        break;
    case MPV_EVENT_END_FILE: {
        const auto* end = static_cast<const mpv_event_end_file*>(event.data);
        if (!loadPending || end->playlist_entry_id != currentEntry)
            break;
        refuse(end->reason == MPV_END_FILE_REASON_ERROR ? QString::fromUtf8(api->mpv_error_string(end->error))
                                                        : QStringLiteral("not a movie file"));
        break;
    }
    case MPV_EVENT_PROPERTY_CHANGE: {
        const auto* prop = static_cast<const mpv_event_property*>(event.data);
        if (prop->format != MPV_FORMAT_DOUBLE || loadPending || startedEntry != currentEntry || currentEntry < 0)
            break;
        // mpv reports every frame; a few reports a second are enough.
        const double quarter = std::floor(*static_cast<const double*>(prop->data) * 4.0);
        if (quarter != lastTimeSent) {
            lastTimeSent = quarter;
            emit q->timeChanged(secondsToMs(*static_cast<const double*>(prop->data)));
        }
        break;
    }
    default:
        break;
    }
}

void MoviePlayer::Impl::takeFact(const mpv_event& reply)
{
    if (!loadPending || factsAwaited == 0 || reply.reply_userdata != std::uint64_t(currentEntry))
        return;
    const auto* prop = static_cast<const mpv_event_property*>(reply.data);
    if (reply.error >= 0 && prop->format == MPV_FORMAT_NODE)
        facts.insert(QString::fromUtf8(prop->name), fromMpvNode(*static_cast<const mpv_node*>(prop->data)));
    if (--factsAwaited > 0)
        return;
    loadPending = false;
    loadTimer->stop();
    lastTimeSent = -1.0;
    emit q->started();
}

void MoviePlayer::Impl::release()
{
    if (mpv)
        command({"stop"});
    file.clear();
    currentEntry = -1;
    loadPending = false;
    facts.clear();
    factsAwaited = 0;
    loadTimer->stop();
    frame = QImage();
    q->update();
}

void MoviePlayer::Impl::failLoad(const QString& detail)
{
    release();
    throw PxError(Errors::movieLoad(detail));
}

void MoviePlayer::Impl::refuse(const QString& detail)
{
    release();
    emit q->failed(Errors::movieLoad(detail));
}

QVariantMap MoviePlayer::Impl::firstTrack(const char* type) const
{
    QVariantMap first;
    const QVariantList tracks = facts.value(QStringLiteral("track-list")).toList();
    for (const QVariant& t : tracks) {
        const QVariantMap track = t.toMap();
        if (track.value(QStringLiteral("type")).toString() != QLatin1String(type))
            continue;
        if (track.value(QStringLiteral("selected")).toBool())
            return track;
        if (first.isEmpty())
            first = track;
    }
    return first;
}

bool MoviePlayer::Impl::createRenderer()
{
    surface = std::make_unique<QOffscreenSurface>();
    surface->create();
    gl = std::make_unique<QOpenGLContext>();
    gl->setFormat(surface->requestedFormat());
    if (!surface->isValid() || !gl->create() || !gl->makeCurrent(surface.get())) {
        destroyRenderer();
        return false;
    }
    mpv_opengl_init_params init{glProcAddress, gl.get()};
    mpv_render_param params[] = {
        {MPV_RENDER_PARAM_API_TYPE, const_cast<char*>(MPV_RENDER_API_TYPE_OPENGL)},
        {MPV_RENDER_PARAM_OPENGL_INIT_PARAMS, &init},
        {MPV_RENDER_PARAM_INVALID, nullptr},
    };
    if (api->mpv_render_context_create(&render, mpv, params) < 0) {
        render = nullptr;
        destroyRenderer();
        return false;
    }
    gl->doneCurrent();
    api->mpv_render_context_set_update_callback(
        render,
        [](void* ctx) {
            auto* impl = static_cast<Impl*>(ctx);
            impl->postOnce(impl->frameQueued, [impl] { impl->renderFrame(false); });
        },
        this);
    return true;
}

void MoviePlayer::Impl::destroyRenderer()
{
    if (gl && surface && surface->isValid())
        gl->makeCurrent(surface.get());
    if (render) {
        // The video output waits up to 0.2 s for a frame it handed over to be
        // drawn, and cannot close while it waits: take such a frame undrawn.
        api->mpv_render_context_set_update_callback(render, nullptr, nullptr);
        int skip = 1;
        mpv_render_param params[] = {
            {MPV_RENDER_PARAM_SKIP_RENDERING, &skip},
            {MPV_RENDER_PARAM_INVALID, nullptr},
        };
        if (api->mpv_render_context_update(render) & MPV_RENDER_UPDATE_FRAME)
            api->mpv_render_context_render(render, params);
        api->mpv_render_context_free(render);
    }
    render = nullptr;
    fbo.reset();
    if (gl)
        gl->doneCurrent();
    gl.reset();
    surface.reset();
}

void MoviePlayer::Impl::postOnce(std::atomic<bool>& queued, std::function<void()> work)
{
    if (queued.exchange(true))
        return;
    CrossThread::post(q, [&queued, work = std::move(work)] {
        queued = false;
        work();
    });
}

void MoviePlayer::Impl::renderFrame(bool force)
{
    if (!render)
        return;
    const bool newFrame = api->mpv_render_context_update(render) & MPV_RENDER_UPDATE_FRAME;
    const qreal ratio = q->devicePixelRatioF();
    const QSize size = q->size() * ratio;
    if ((!newFrame && !force) || size.isEmpty())
        return;
    gl->makeCurrent(surface.get());
    if (!fbo || fbo->size() != size)
        fbo = std::make_unique<QOpenGLFramebufferObject>(size);
    mpv_opengl_fbo target{int(fbo->handle()), size.width(), size.height(), 0};
    // toImage() expects OpenGL's bottom-up rows.
    int flip = 1;
    mpv_render_param params[] = {
        {MPV_RENDER_PARAM_OPENGL_FBO, &target},
        {MPV_RENDER_PARAM_FLIP_Y, &flip},
        {MPV_RENDER_PARAM_INVALID, nullptr},
    };
    api->mpv_render_context_render(render, params);
    frame = fbo->toImage();
    frame.setDevicePixelRatio(ratio);
    gl->doneCurrent();
    q->update();
}

namespace {

bool headlessPlatform()
{
    const QString qpa = QGuiApplication::platformName();
    return qpa == QLatin1String("offscreen") || qpa == QLatin1String("minimal");
}

}

// The player core starts with the first movie, on a worker: starting it
// costs a good part of a second, and many sessions never play a movie.
void MoviePlayer::Impl::requestCore()
{
    if (mpv || coreStarting)
        return;
    coreStarting = true;
    // libmpv refuses to start under a locale that writes decimals with a comma.
    std::setlocale(LC_NUMERIC, "C");
    CrossThread::start(*QThreadPool::globalInstance(), [player = QPointer<MoviePlayer>(q), headless = headlessPlatform()]() mutable {
        auto core = std::make_shared<Core>(startCore(headless));
        // Posted to the application, which outlives the player; a core no
        // player takes goes with the call.
        CrossThread::post(qApp, [player = std::move(player), core] {
            if (player)
                player->d->adoptCore(core->get_deleter().api, core->release());
        });
    });
}

void MoviePlayer::Impl::adoptCore(const MpvApi* library, mpv_handle* core)
{
    coreStarting = false;
    const bool waiting = loadPending && currentEntry < 0 && !file.isEmpty();
    if (!core) {
        if (waiting)
            refuse(QStringLiteral("the movie player could not be started"));
        return;
    }
    api = library;
    mpv = core;
    api->mpv_set_property(mpv, "speed", MPV_FORMAT_DOUBLE, &speed);
    api->mpv_observe_property(mpv, 0, "time-pos", MPV_FORMAT_DOUBLE);
    api->mpv_set_wakeup_callback(
        mpv,
        [](void* ctx) {
            auto* impl = static_cast<Impl*>(ctx);
            impl->postOnce(impl->drainQueued, [impl] { impl->drainEvents(); });
        },
        this);
    // Without OpenGL the movie still plays, with sound and read-outs.
    if (!headlessPlatform() && createRenderer())
        api->mpv_set_property_string(mpv, "vo", "libmpv");
    if (!waiting)
        return;
    try {
        open(file);
    } catch (const PxError& error) {
        emit q->failed(error.failure);
    }
}

MoviePlayer::MoviePlayer(QWidget* parent) : QWidget(parent), d(std::make_unique<Impl>())
{
    d->q = this;
    d->loadTimer = new QTimer(this);
    d->loadTimer->setSingleShot(true);
    d->loadTimer->setInterval(kLoadWaitMs);
    connect(d->loadTimer, &QTimer::timeout, this, [this] { d->refuse(QStringLiteral("the player did not answer")); });
    setAttribute(Qt::WA_OpaquePaintEvent);
}

MoviePlayer::~MoviePlayer()
{
    // The renderer must be gone before the core.
    if (d->mpv) {
        d->destroyRenderer();
        d->api->mpv_set_wakeup_callback(d->mpv, nullptr, nullptr);
        d->api->mpv_terminate_destroy(d->mpv);
    }
}

void MoviePlayer::Impl::open(const QString& path)
{
    // The player takes the name as the file system's bytes.
    const QByteArray local = FileName::toBytes(QFileInfo(path).absoluteFilePath());
    const char* args[] = {"loadfile", local.constData(), "replace", nullptr};
    mpv_node result;
    if (api->mpv_command_ret(mpv, args, &result) < 0)
        failLoad(QStringLiteral("the player refused the file"));
    const QVariant entry = fromMpvNode(result).toMap().value(QStringLiteral("playlist_entry_id"));
    api->mpv_free_node_contents(&result);
    if (!entry.isValid())
        failLoad(QStringLiteral("the player refused the file"));
    file = path;
    currentEntry = entry.toLongLong();
    loadPending = true;
    facts.clear();
    factsAwaited = 0;
}

void MoviePlayer::setFileName(const QString& path)
{
    if (path.isEmpty()) {
        d->release();
        return;
    }
    // mpv would read a folder as a playlist and could block on a pipe.
    struct stat st;
    if (::stat(FileName::toBytes(QFileInfo(path).absoluteFilePath()).constData(), &st) != 0)
        d->failLoad(QStringLiteral("file not found"));
    if (!S_ISREG(st.st_mode))
        d->failLoad(QStringLiteral("not a movie file"));

    if (d->mpv) {
        d->loadTimer->start();
        d->open(path);
        return;
    }
    // The first movie waits for the core; a newer name given meanwhile
    // takes its place.
    d->release();
    d->file = path;
    d->loadPending = true;
    d->loadTimer->start();
    d->requestCore();
}

QString MoviePlayer::fileName() const { return d->file; }

bool MoviePlayer::loading() const { return d->loadPending; }

void MoviePlayer::setLoadWaitMs(int ms) { d->loadTimer->setInterval(ms); }

void MoviePlayer::setSpeed(double speed)
{
    if (!d->mpv) {
        // mpv's own range, checked here until the core can check it.
        if (!(speed >= 0.01 && speed <= 100.0))
            Errors::raise(Errors::movieSpeed());
        d->speed = speed;
        return;
    }
    if (d->api->mpv_set_property(d->mpv, "speed", MPV_FORMAT_DOUBLE, &speed) < 0)
        Errors::raise(Errors::movieSpeed());
    d->speed = speed;
}

double MoviePlayer::speed() const
{
    return d->speed;
}

void MoviePlayer::play()
{
    // A movie still opening plays once it has opened.
    if (!d->mpv)
        return;
    // At the end of the movie, play starts it over.
    if (d->property("eof-reached").toBool())
        d->command({"seek", "0", "absolute"});
    d->api->mpv_set_property_string(d->mpv, "pause", "no");
}

void MoviePlayer::pause()
{
    if (d->mpv)
        d->api->mpv_set_property_string(d->mpv, "pause", "yes");
}

bool MoviePlayer::isPaused() const { return d->mpv && d->property("pause").toBool(); }

qint32 MoviePlayer::durationMs() const
{
    if (d->file.isEmpty())
        return 0;
    return secondsToMs(d->facts.value(QStringLiteral("duration")).toDouble());
}

qint32 MoviePlayer::positionMs() const
{
    if (d->file.isEmpty())
        return 0;
    return secondsToMs(d->property("time-pos").toDouble());
}

QSize MoviePlayer::videoSize() const
{
    if (d->file.isEmpty())
        return {0, 0};
    const QVariant w = d->facts.value(QStringLiteral("width")), h = d->facts.value(QStringLiteral("height"));
    if (w.isValid() && h.isValid())
        return {w.toInt(), h.toInt()};
    // Before the first frame is decoded (or with video off) the container
    // knows the size.
    const QVariantMap video = d->firstTrack("video");
    return {video.value(QStringLiteral("demux-w")).toInt(),
            video.value(QStringLiteral("demux-h")).toInt()};
}

QString MoviePlayer::mediaInfo() const
{
    if (d->file.isEmpty())
        return QStringLiteral("No movie is loaded.");
    QStringList lines;
    lines << QStringLiteral("File: ") + QFileInfo(d->file).fileName();
    lines << QStringLiteral("Format: ") + d->facts.value(QStringLiteral("file-format")).toString();
    const QVariantMap video = d->firstTrack("video");
    const QVariantMap audio = d->firstTrack("audio");
    const QString codec = QStringLiteral("codec");
    lines << QStringLiteral("Video codec: ")
                 + (video.isEmpty() ? QStringLiteral("none") : video.value(codec).toString());
    if (!audio.isEmpty())
        lines << QStringLiteral("Audio codec: ") + audio.value(codec).toString();
    const QSize size = videoSize();
    lines << QStringLiteral("Size: %1 x %2").arg(size.width()).arg(size.height());
    lines << QStringLiteral("Duration: ") + durationText(durationMs());
    return lines.join(QLatin1Char('\n'));
}

void MoviePlayer::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), Qt::black);
    if (!d->frame.isNull())
        painter.drawImage(0, 0, d->frame);
}

void MoviePlayer::resizeEvent(QResizeEvent*)
{
    d->renderFrame(true);
}
