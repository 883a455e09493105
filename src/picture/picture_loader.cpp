#include "picture/picture_loader.h"

#include "core/failure.h"
#include "picture/metafile_format.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QThread>
#include <QImageReader>
#include <QFileInfo>
#include <QProcess>
#include <QtEndian>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstring>
#include <condition_variable>
#include <csetjmp>
#include <cstdio>
#include <deque>
#include <fcntl.h>
#include <future>
#include <jpeglib.h>
#include <jerror.h>
#include <limits>
#include <map>
#include <mutex>
#include <optional>
#include <sys/prctl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace {

// What identifies one version of a file. ctime cannot be set back by
// anybody, so a rewrite that restores size and mtime is still seen.
struct FileStamp {
    dev_t device = 0;
    ino_t inode = 0;
    off_t size = 0;
    timespec mtime{};
    timespec ctime{};

    static FileStamp of(const struct stat& st)
    {
        return {st.st_dev, st.st_ino, st.st_size, st.st_mtim, st.st_ctim};
    }
    bool operator==(const FileStamp& o) const
    {
        return device == o.device && inode == o.inode && size == o.size
            && mtime.tv_sec == o.mtime.tv_sec && mtime.tv_nsec == o.mtime.tv_nsec
            && ctime.tv_sec == o.ctime.tv_sec && ctime.tv_nsec == o.ctime.tv_nsec;
    }
};

std::optional<FileStamp> stampOf(const QString& path)
{
    struct stat st;
    if (::stat(QFile::encodeName(path).constData(), &st) != 0)
        return std::nullopt;
    return FileStamp::of(st);
}

qint64 nanos(const timespec& t) { return qint64(t.tv_sec) * 1'000'000'000 + t.tv_nsec; }

// A file opened for reading, read in two steps: its header, then the rest.
class OpenFile {
public:
    explicit OpenFile(const QString& path)
        : fd(::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC))
    {
        if (fd < 0)
            Errors::throwErrno(errno);
        struct stat st;
        if (::fstat(fd, &st) != 0 || S_ISDIR(st.st_mode)) {
            const int err = S_ISDIR(st.st_mode) ? EISDIR : errno;
            ::close(fd);
            Errors::throwErrno(err);
        }
        sizeHint = st.st_size;
    }
    ~OpenFile() { ::close(fd); }
    OpenFile(const OpenFile&) = delete;
    OpenFile& operator=(const OpenFile&) = delete;

    // Appends what follows in the file, at most limit bytes.
    void readInto(QByteArray& data, qint64 limit)
    {
        // The size is only a hint: the file may grow or shrink while it is read.
        data.reserve(qsizetype(std::min<qint64>({sizeHint, limit, qint64(1) << 30})) + 1);
        char chunk[1 << 16];
        while (limit > 0) {
            const ssize_t n = ::read(fd, chunk, size_t(std::min<qint64>(qint64(sizeof chunk), limit)));
            if (n == 0)
                break;
            if (n < 0) {
                if (errno == EINTR)
                    continue;
                Errors::throwErrno(errno);
            }
            data.append(chunk, n);
            limit -= n;
        }
    }

private:
    int fd;
    off_t sizeHint = 0;
};

// Enough of a file for every header the loader checks before it reads the rest.
constexpr qint64 headLength = 64 * 1024;

// Decoding a large picture into freshly mapped memory costs about as much as
// the decoding itself, so the buffers of pictures nobody holds any more are
// decoded into again.
class BufferPool {
public:
    QImage take(QSize size, QImage::Format format)
    {
        std::lock_guard lock(mutex);
        QImage image;
        // Detached: only the pool refers to it, nobody can be reading it.
        auto it = std::find_if(images.begin(), images.end(), [&](const QImage& i) {
            return i.size() == size && i.format() == format && i.isDetached();
        });
        if (it != images.end()) {
            image = std::move(*it);
            images.erase(it);
        }
        // The other spares would only add to the memory this decode takes.
        std::erase_if(images, [](const QImage& i) { return i.isDetached(); });
        return image;
    }
    void keep(const QImage& image)
    {
        std::lock_guard lock(mutex);
        images.push_front(image);
        while (images.size() > capacity)
            images.pop_back();
    }

private:
    static constexpr size_t capacity = 3;
    std::mutex mutex;
    std::deque<QImage> images;
};

BufferPool& pool()
{
    static BufferPool instance;
    return instance;
}

// libjpeg fills a frame whose data ends early (a cut-off file, or a header
// claiming more pixels than the data holds) up with grey and calls that a
// warning. Decoding at an eighth of the size, which skips most of the work,
// shows whether the data runs out first.
bool jpegIsComplete(const QByteArray& data)
{
    struct Handler : jpeg_error_mgr {
        jmp_buf failed;
        bool endedEarly = false;
    };
    Handler handler;
    jpeg_decompress_struct info;
    info.err = jpeg_std_error(&handler);
    handler.error_exit = [](j_common_ptr c) { longjmp(static_cast<Handler*>(c->err)->failed, 1); };
    handler.emit_message = [](j_common_ptr c, int level) {
        auto* h = static_cast<Handler*>(c->err);
        if (level < 0 && (h->msg_code == JWRN_HIT_MARKER || h->msg_code == JWRN_JPEG_EOF))
            h->endedEarly = true;
    };
    // Nothing below owns memory outside libjpeg's pools, so the jump out
    // leaks nothing.
    if (setjmp(handler.failed)) {
        jpeg_destroy_decompress(&info);
        return false;
    }
    jpeg_create_decompress(&info);
    jpeg_mem_src(&info, reinterpret_cast<const unsigned char*>(data.constData()), static_cast<unsigned long>(data.size()));
    jpeg_read_header(&info, TRUE);
    info.scale_num = 1;
    info.scale_denom = 8;
    info.dct_method = JDCT_IFAST;
    info.do_fancy_upsampling = FALSE;
    jpeg_start_decompress(&info);
    JSAMPARRAY row = (*info.mem->alloc_sarray)(reinterpret_cast<j_common_ptr>(&info), JPOOL_IMAGE,
                                                info.output_width * JDIMENSION(info.output_components), 1);
    while (info.output_scanline < info.output_height && !handler.endedEarly)
        jpeg_read_scanlines(&info, row, 1);
    if (!handler.endedEarly)
        jpeg_finish_decompress(&info);
    jpeg_destroy_decompress(&info);
    return !handler.endedEarly;
}

// Qt's BMP and GIF readers hand out what they got of a cut-off file, so
// the data is checked for its full length first.
bool bmpIsComplete(const QByteArray& d)
{
    if (d.size() < 54)
        return false;
    const quint32 offset = qFromLittleEndian<quint32>(d.constData() + 10);
    const quint32 headerSize = qFromLittleEndian<quint32>(d.constData() + 14);
    if (headerSize < 40)
        return true; // old OS/2 headers: left to Qt
    const qint64 w = qFromLittleEndian<qint32>(d.constData() + 18);
    const qint64 h = qAbs(qint64(qFromLittleEndian<qint32>(d.constData() + 22)));
    const int bpp = qFromLittleEndian<quint16>(d.constData() + 28);
    const quint32 compression = qFromLittleEndian<quint32>(d.constData() + 30);
    if (compression != 0 && compression != 3)
        return true; // run-length coded: its length is not known in advance
    const qint64 stride = (w * bpp + 31) / 32 * 4;
    return qint64(offset) + stride * h <= d.size();
}

bool gifIsComplete(const QByteArray& d)
{
    // Walks the blocks up to the end of the first frame's pixel data.
    auto byte = [&](qint64 at) { return quint8(d.at(at)); };
    qint64 pos = 13;
    if (d.size() < pos)
        return false;
    if (byte(10) & 0x80)
        pos += 3 * (qint64(2) << (byte(10) & 7));
    auto skipSubBlocks = [&]() {
        while (pos < d.size()) {
            const int n = byte(pos);
            pos += 1 + n;
            if (n == 0)
                return pos <= d.size();
        }
        return false;
    };
    while (pos < d.size()) {
        const quint8 kind = byte(pos);
        if (kind == 0x21) {              // extension
            pos += 2;
            if (!skipSubBlocks())
                return false;
        } else if (kind == 0x2C) {       // image
            if (pos + 10 > d.size())
                return false;
            const quint8 flags = byte(pos + 9);
            pos += 10;
            if (flags & 0x80)
                pos += 3 * (qint64(2) << (flags & 7));
            pos += 1;                    // LZW code size
            return pos < d.size() && skipSubBlocks();
        } else {
            return false;
        }
    }
    return false;
}

// libpng stops at the end of the pixel data; the end chunk shows the
// file was written whole.
bool pngIsComplete(const QByteArray& d) { return d.contains(QByteArrayLiteral("\0\0\0\0IEND")); }

bool icoIsComplete(const QByteArray& d)
{
    if (d.size() < 6)
        return false;
    const qint64 count = qFromLittleEndian<quint16>(d.constData() + 4);
    if (d.size() < 6 + 16 * count)
        return false;
    for (qint64 i = 0; i < count; ++i) {
        const char* entry = d.constData() + 6 + 16 * i;
        if (qint64(qFromLittleEndian<quint32>(entry + 12)) + qFromLittleEndian<quint32>(entry + 8) > d.size())
            return false;
    }
    return true;
}

// The chunks must fit the file, and a picture's chunk must hold more than
// its header: space set aside for a file that was never written holds
// zeros, which libwebp decodes as a flat picture.
bool webpIsComplete(const QByteArray& d)
{
    if (d.size() < 12)
        return false;
    const qint64 end = 8 + qint64(qFromLittleEndian<quint32>(d.constData() + 4));
    if (end > d.size())
        return false;
    bool pixels = false;
    for (qint64 pos = 12; pos + 8 <= end;) {
        const QByteArray kind = d.mid(pos, 4);
        const qint64 size = qFromLittleEndian<quint32>(d.constData() + pos + 4);
        if (pos + 8 + size > end)
            return false;
        const qint64 header = kind == "VP8 " ? 10 : kind == "VP8L" ? 5 : kind == "ANMF" ? 16 : -1;
        if (header >= 0 && size > header) {
            const QByteArray payload = d.mid(pos + 8 + header, size - header);
            pixels = pixels || payload.count('\0') != payload.size();
        }
        pos += 8 + size + (size & 1);
    }
    return pixels;
}

// The strips or tiles of the first directory, the picture shown, must lie
// within the file: libtiff hands out what it read of them.
bool tiffIsComplete(const QByteArray& d)
{
    if (d.size() < 8)
        return false;
    const bool little = d.startsWith("II");
    auto number = [&](qint64 at, int bytes) -> qint64 {
        if (at < 0 || at + bytes > d.size())
            return -1;
        const char* p = d.constData() + at;
        if (bytes == 2)
            return little ? qFromLittleEndian<quint16>(p) : qFromBigEndian<quint16>(p);
        return little ? qFromLittleEndian<quint32>(p) : qFromBigEndian<quint32>(p);
    };
    if (number(2, 2) != 42)
        return true; // BigTIFF: left to libtiff
    const qint64 directory = number(4, 4);
    const qint64 entries = number(directory, 2);
    if (entries < 0)
        return false;
    QList<qint64> offsets, lengths;
    for (qint64 i = 0; i < entries; ++i) {
        const qint64 at = directory + 2 + 12 * i;
        const qint64 tag = number(at, 2);
        const qint64 type = number(at + 2, 2);
        const qint64 count = number(at + 4, 4);
        if (tag < 0 || type < 0 || count < 0)
            return false;
        const bool offsetTag = tag == 273 || tag == 324;
        if (!offsetTag && tag != 279 && tag != 325)
            continue;
        const int bytes = type == 3 ? 2 : type == 4 ? 4 : 0;
        if (bytes == 0)
            return true; // an unusual type: left to libtiff
        const qint64 values = count * bytes <= 4 ? at + 8 : number(at + 8, 4);
        QList<qint64>& list = offsetTag ? offsets : lengths;
        for (qint64 v = 0; v < count; ++v) {
            const qint64 value = number(values + v * bytes, bytes);
            if (value < 0)
                return false;
            list.append(value);
        }
    }
    if (offsets.size() != lengths.size())
        return true; // lengths left out: left to libtiff
    for (qsizetype i = 0; i < offsets.size(); ++i)
        if (offsets[i] + lengths[i] > d.size())
            return false;
    return true;
}

// Qt's XBM reader hands out the rows it got of a cut-off file.
bool xbmIsComplete(const QByteArray& d) { return d.lastIndexOf('}') > d.indexOf('{'); }

// The checks that take a moment only; JPEG's is made during the decode.
bool isComplete(const QByteArray& format, const QByteArray& data)
{
    using Check = bool (*)(const QByteArray&);
    static const std::map<QByteArray, Check> checks = {
        {"bmp", bmpIsComplete},   {"gif", gifIsComplete},   {"png", pngIsComplete},
        {"ico", icoIsComplete},   {"cur", icoIsComplete},   {"webp", webpIsComplete},
        {"tiff", tiffIsComplete}, {"xbm", xbmIsComplete}};
    const auto check = checks.find(format);
    return check == checks.end() || check->second(data);
}

// Refuses what Qt cannot read and what claims too many pixels; the size, when
// the header tells it.
QSize checkedSize(QImageReader& reader)
{
    reader.setDecideFormatFromContent(true);
    if (!reader.canRead())
        Errors::raise(Errors::invalidPicture(QStringLiteral("unknown or damaged format")));
    const QSize size = reader.size();
    if (size.isValid() && qint64(size.width()) * size.height() > Metafile::maxPixels)
        Errors::raise(Errors::invalidPicture(
            QStringLiteral("%1 x %2 pixels is too large").arg(size.width()).arg(size.height())));
    return size;
}

QImage decodeRaster(const QByteArray& data)
{
    QBuffer buffer;
    buffer.setData(data);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    reader.setAutoTransform(true);
    const QSize size = checkedSize(reader);
    const QByteArray format = reader.format();
    if (!isComplete(format, data))
        Errors::raise(Errors::invalidPicture(QStringLiteral("the file is cut off")));
    // libjpeg's look through a JPEG's data takes more than half as long as
    // the decode, so the two run side by side.
    std::future<bool> jpegComplete;
    if (format == "jpeg")
        jpegComplete = std::async(std::launch::async, jpegIsComplete, std::cref(data));

    QImage image;
    if (size.isValid())
        image = pool().take(size, reader.imageFormat());
    if (!reader.read(&image) || image.isNull())
        Errors::raise(Errors::invalidPicture(reader.errorString()));
    if (jpegComplete.valid() && !jpegComplete.get())
        Errors::raise(Errors::invalidPicture(QStringLiteral("the file is cut off")));
    if (qint64(image.width()) * image.height() > Metafile::maxPixels)
        Errors::raise(Errors::invalidPicture(QStringLiteral("too large")));
    pool().keep(image);
    return image;
}

// cancelled, when given, is watched while the helper draws: a drawing nobody
// wants any more is not waited for.
QImage decodeMetafile(const QString& path, const std::atomic<bool>* cancelled)
{
    const QString helper = QCoreApplication::applicationDirPath() + QStringLiteral("/pxmetafile");
    if (QCoreApplication::instance() == nullptr || !QFile::exists(helper))
        Errors::raise(Errors::invalidPicture(QStringLiteral("the metafile helper is missing")));

    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    process.setProcessEnvironment(env);
    process.setProcessChannelMode(QProcess::SeparateChannels);
    process.setStandardErrorFile(QProcess::nullDevice());
    process.setChildProcessModifier([] {
        // Runs in the child between fork and exec: plain system calls only.
#ifndef __SANITIZE_ADDRESS__
        // AddressSanitizer reserves terabytes of address space at start, so
        // an instrumented helper would never start under this limit.
        const rlimit memory{rlim_t(3) << 30, rlim_t(3) << 30};
        ::setrlimit(RLIMIT_AS, &memory);
#endif
        const rlimit cpu{20, 20};
        ::setrlimit(RLIMIT_CPU, &cpu);
        const rlimit core{0, 0};
        ::setrlimit(RLIMIT_CORE, &core);
        ::prctl(PR_SET_PDEATHSIG, SIGKILL);
    });
    process.start(helper, {QDir::toNativeSeparators(QFileInfo(path).absoluteFilePath())});
    constexpr int timeLimitMs = 8000;
    if (!process.waitForStarted(timeLimitMs))
        Errors::raise(Errors::invalidPicture(QStringLiteral("the metafile helper did not start")));
    QElapsedTimer clock;
    clock.start();
    // Waited for in short steps, so that a cancel is seen at once.
    const int step = cancelled ? 10 : timeLimitMs;
    while (!process.waitForFinished(step) && process.state() != QProcess::NotRunning) {
        const bool unwanted = cancelled && cancelled->load();
        if (unwanted || clock.elapsed() >= timeLimitMs) {
            process.kill();
            process.waitForFinished(1000);
            Errors::raise(Errors::invalidPicture(unwanted ? QStringLiteral("the metafile is no longer wanted")
                                                          : QStringLiteral("drawing the metafile took too long")));
        }
    }
    if (process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0)
        Errors::raise(Errors::invalidPicture(QStringLiteral("cannot draw the metafile")));

    const QByteArray out = process.readAllStandardOutput();
    if (out.size() < 12 || !out.startsWith("PXMF"))
        Errors::raise(Errors::invalidPicture(QStringLiteral("cannot draw the metafile")));
    const qint64 w = qFromLittleEndian<quint32>(out.constData() + 4);
    const qint64 h = qFromLittleEndian<quint32>(out.constData() + 8);
    if (w < 1 || h < 1 || w * h > Metafile::maxPixels || out.size() != 12 + w * h * 4)
        Errors::raise(Errors::invalidPicture(QStringLiteral("cannot draw the metafile")));
    QImage image(int(w), int(h), QImage::Format_ARGB32);
    if (image.isNull())
        Errors::raise(Errors::invalidPicture(QStringLiteral("too large")));
    for (int y = 0; y < int(h); ++y)
        std::memcpy(image.scanLine(y), out.constData() + 12 + y * w * 4, size_t(w) * 4);
    return image.convertToFormat(QImage::Format_RGB32);
}

// Refuses what is no picture, or claims too many pixels, from its header: a
// large file named like a picture is never read whole for nothing.
void checkRasterHeader(const QByteArray& head)
{
    QBuffer buffer;
    buffer.setData(head);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    // A header longer than the head leaves the size unknown until decoding.
    checkedSize(reader);
}

QImage loadUnlessCancelled(const QString& path, const std::atomic<bool>* cancelled)
{
    OpenFile file(path);
    QByteArray data;
    file.readInto(data, headLength);
    if (data.isEmpty())
        Errors::raise(Errors::invalidPicture(QStringLiteral("the file is empty")));
    if (Metafile::isWmf(data) || Metafile::isEmf(data)) {
        // The helper reads the file itself; a frame it would not draw is
        // refused without starting it.
        if (!Metafile::headerSize(data))
            Errors::raise(Errors::invalidPicture(QStringLiteral("the metafile's frame is empty or too large")));
        return decodeMetafile(path, cancelled);
    }
    checkRasterHeader(data);
    file.readInto(data, std::numeric_limits<qint64>::max());
    return decodeRaster(data);
}

}

QImage loadPicture(const QString& path) { return loadUnlessCancelled(path, nullptr); }

QImage decodePictureData(const QByteArray& data)
{
    if (Metafile::isWmf(data) || Metafile::isEmf(data))
        Errors::raise(Errors::invalidPicture(QStringLiteral("a metafile is drawn from its file")));
    checkRasterHeader(data.left(headLength));
    return decodeRaster(data);
}

void allowLargePictures()
{
    // The pixel count the loader checks is the real bound; this only leaves
    // room for 16-bit formats.
    QImageReader::setAllocationLimit(int(Metafile::maxPixels * 8 / (1024 * 1024)) + 1);
}

PictureProbe probePicture(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    // Both metafile headers fit in the first 88 bytes.
    const QByteArray head = file.peek(88);
    if (Metafile::isWmf(head) || Metafile::isEmf(head)) {
        const std::optional<QSize> size = Metafile::headerSize(head);
        return size ? PictureProbe{true, *size} : PictureProbe{};
    }
    QImageReader reader(&file);
    reader.setDecideFormatFromContent(true);
    if (!reader.canRead())
        return {};
    QSize size = reader.size();
    if (!size.isValid() || size.isEmpty() || qint64(size.width()) * size.height() > Metafile::maxPixels)
        return {};
    if (reader.transformation() & QImageIOHandler::TransformationRotate90)
        size.transpose();
    return {true, size};
}

// ---------------------------------------------------------------------------

namespace {

struct Preloaded {
    QString path;
    // Set when the file stood still while it was read: only then can the
    // picture be handed out again while the file keeps this stamp.
    std::optional<FileStamp> stamp;
    QImage image;
    std::optional<Failure> failure;

    bool freshFor(const QString& p) const
    {
        return path == p && stamp && stampOf(p) == stamp;
    }
};

// File systems stamp times from a coarse clock; a file written this close to
// its preload may have changed again without its times showing it.
constexpr qint64 racyWindowNs = 100'000'000;
// A load shorter than a frame is simply waited for.
constexpr std::chrono::milliseconds frame{16};

bool onGuiThread()
{
    const QCoreApplication* app = QCoreApplication::instance();
    return app && QThread::currentThread() == app->thread();
}

// What decoding path would add to the memory, from its header; pictures
// decode to 32 bits a pixel. Unknown when only drawing tells the size.
std::optional<qint64> decodedBytes(const QString& path)
{
    const PictureProbe probe = probePicture(path);
    if (!probe.readable)
        return 0; // refused at once, and the refusal is what is kept
    if (!probe.size.isValid())
        return std::nullopt;
    return qint64(probe.size.width()) * probe.size.height() * 4;
}

Preloaded decode(const QString& path, const std::atomic<bool>* cancelled)
{
    Preloaded entry{path, {}, {}, {}};
    timespec started;
    clock_gettime(CLOCK_REALTIME, &started);
    const auto before = stampOf(path);
    try {
        entry.image = loadUnlessCancelled(path, cancelled);
    } catch (const PxError& e) {
        entry.failure = e.failure;
    } catch (const std::exception&) {
        entry.failure = Errors::invalidPicture();
    }
    const auto after = stampOf(path);
    // Only a file that stood still while it was read, and had been still for
    // a while before, can be trusted by its stamp.
    if (before && after && *before == *after && nanos(before->mtime) + racyWindowNs < nanos(started)
        && nanos(before->ctime) + racyWindowNs < nanos(started))
        entry.stamp = before;
    return entry;
}

}

struct PicturePreloader::Impl {
    explicit Impl(qint64 budget) : budget(budget) {}

    // What the shown picture and the preloaded ones may take together. The
    // pool's spare buffers need no share of it: a decode reuses one or frees
    // them before it allocates.
    const qint64 budget;
    std::mutex mutex;
    std::condition_variable changed;
    std::deque<QString> pending;
    std::deque<Preloaded> done;
    // The picture load() handed out last, and the one before it.
    Preloaded shown;
    QString shownBefore;
    QString decoding;
    // What the thread load() started for a picture not preloaded gave.
    std::optional<Preloaded> loaded;
    // Set when the neighbour being decoded is no longer wanted.
    std::atomic<bool> cancelled = false;
    // The event loop load() runs while it waits, woken by whichever thread
    // finishes a decode.
    QEventLoop* waiter = nullptr;
    bool stopping = false;
    std::thread worker;

    qint64 used() const
    {
        qint64 bytes = shown.image.sizeInBytes();
        for (const Preloaded& p : done)
            bytes += p.image.sizeInBytes();
        return bytes;
    }

    bool have(const QString& path) const
    {
        return path == decoding || shown.freshFor(path)
            || std::any_of(done.begin(), done.end(), [&](const Preloaded& p) { return p.path == path; });
    }

    void finished()
    {
        changed.notify_all();
        if (waiter)
            QMetaObject::invokeMethod(waiter, &QEventLoop::quit, Qt::QueuedConnection);
    }

    void run()
    {
        std::unique_lock lock(mutex);
        for (;;) {
            changed.wait(lock, [&] { return stopping || !pending.empty(); });
            if (stopping)
                return;
            const QString path = pending.front();
            pending.pop_front();
            decoding = path;
            cancelled = false;
            lock.unlock();

            const QFileInfo file(path);
            const std::optional<qint64> need = decodedBytes(path);
            lock.lock();
            // Preloading stops at the first neighbour that does not fit: the
            // later ones are less likely to be wanted.
            if (!need || file.size() > budget || used() + *need > budget) {
                pending.clear();
                decoding.clear();
                finished();
                continue;
            }
            lock.unlock();
            Preloaded entry = decode(path, &cancelled);
            lock.lock();
            decoding.clear();
            if (entry.stamp && !cancelled) {
                std::erase_if(done, [&](const Preloaded& p) { return p.path == path; });
                done.push_back(std::move(entry));
            }
            finished();
        }
    }

    // Waits until ready() holds. On the GUI thread a wait longer than a frame
    // keeps the windows painting and the timers running, but holds user input
    // back until the wait is over; the caller guards its own re-entry.
    template <typename Ready>
    void await(std::unique_lock<std::mutex>& lock, Ready ready)
    {
        if (changed.wait_for(lock, frame, ready) || !onGuiThread()) {
            changed.wait(lock, ready);
            return;
        }
        QEventLoop loop;
        waiter = &loop;
        while (!ready()) {
            lock.unlock();
            const int code = loop.exec(QEventLoop::ExcludeUserInputEvents);
            lock.lock();
            // The application is quitting: no loop runs any more, so block.
            if (code < 0)
                changed.wait(lock, ready);
        }
        waiter = nullptr;
    }

    QImage handOut(Preloaded&& entry)
    {
        if (entry.failure)
            throw PxError(*entry.failure);
        if (entry.path != shown.path)
            shownBefore = shown.path;
        shown = std::move(entry);
        return shown.image;
    }
};

PicturePreloader::PicturePreloader(qint64 budgetBytes) : d(new Impl(budgetBytes))
{
    d->worker = std::thread([this] { d->run(); });
}

PicturePreloader::~PicturePreloader()
{
    {
        std::lock_guard lock(d->mutex);
        d->stopping = true;
        d->pending.clear();
        // A metafile helper still drawing is killed rather than waited for.
        d->cancelled = true;
    }
    d->changed.notify_all();
    d->worker.join();
    delete d;
}

void PicturePreloader::preload(const QStringList& paths)
{
    std::lock_guard lock(d->mutex);
    // The picture shown before comes last: it lies behind, and the one ahead
    // is the likelier next.
    QStringList order = paths;
    std::stable_partition(order.begin(), order.end(), [&](const QString& p) { return p != d->shownBefore; });
    std::erase_if(d->done, [&](const Preloaded& p) { return !order.contains(p.path); });
    d->pending.clear();
    if (!d->decoding.isEmpty() && !order.contains(d->decoding))
        d->cancelled = true;
    for (const QString& path : order)
        if (!d->have(path))
            d->pending.push_back(path);
    d->changed.notify_all();
}

QImage PicturePreloader::load(const QString& path)
{
    std::unique_lock lock(d->mutex);
    if (d->shown.freshFor(path))
        return d->shown.image;
    // The neighbour being decoded right now is ready sooner than a new decode.
    d->await(lock, [&] { return d->decoding != path; });
    auto it = std::find_if(d->done.begin(), d->done.end(), [&](const Preloaded& p) { return p.path == path; });
    if (it != d->done.end()) {
        Preloaded entry = std::move(*it);
        d->done.erase(it);
        if (entry.freshFor(path))
            return d->handOut(std::move(entry));
    }
    // A jump elsewhere: the old neighbours are no longer wanted, and
    // releasing them now lets this decode reuse one of their buffers
    // instead of touching a fresh one.
    d->done.clear();
    d->pending.clear();
    if (!d->decoding.isEmpty())
        d->cancelled = true;
    // On a thread of its own, so as not to wait behind a neighbour's decode.
    d->loaded.reset();
    std::thread loader([this, path] {
        Preloaded entry = decode(path, nullptr);
        std::lock_guard lock(d->mutex);
        d->loaded = std::move(entry);
        d->finished();
    });
    d->await(lock, [&] { return d->loaded.has_value(); });
    // It has let go of the lock and only ends now.
    loader.join();
    Preloaded result = std::move(*d->loaded);
    d->loaded.reset();
    return d->handOut(std::move(result));
}
