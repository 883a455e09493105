// Pixalto beside the viewers users pick instead, measured from outside: from
// the process start (or the key press) until the picture's pixels are on the
// X screen. Each picture is one flat colour with noise, so that its pixels
// can be told from any window's own; the screen is read row by row until
// enough of it has that colour. Medians of the rounds, the order of the
// programs rotated each round.
//
// Usage (on an X display with a window manager; bench/side-by-side.sh sets
// one up): bench_side_by_side [rounds]
// Programs: pixalto and bare_qt_viewer from the build folder, and feh and
// qimgv when installed.
#include "settings/settings_store.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QImage>
#include <QProcess>
#include <QRandomGenerator>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QThread>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <map>
#include <xcb/xcb.h>

namespace {
constexpr QRgb kColourA = qRgb(230, 40, 200);
constexpr QRgb kColourB = qRgb(40, 200, 230);
constexpr int kTimeoutMs = 30000;

// A picture of one colour, with noise that keeps the encoders honest.
QImage noisyPicture(QSize size, QRgb colour)
{
    QImage image(size, QImage::Format_RGB32);
    QRandomGenerator random(size.width() * 31 + colour);
    for (int y = 0; y < size.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < size.width(); ++x) {
            const quint32 noise = random.generate();
            auto jitter = [&](int value, int shift) { return std::clamp(value + int((noise >> shift) & 15) - 8, 0, 255); };
            line[x] = qRgb(jitter(qRed(colour), 0), jitter(qGreen(colour), 4), jitter(qBlue(colour), 8));
        }
    }
    return image;
}

void savePicture(const QString& path, QSize size, QRgb colour)
{
    if (QFileInfo::exists(path))
        return;
    std::printf("making %s\n", qPrintable(path));
    std::fflush(stdout);
    noisyPicture(size, colour).save(path, nullptr, 85);
}

class Screen {
public:
    Screen() : connection_(xcb_connect(nullptr, nullptr))
    {
        if (xcb_connection_has_error(connection_)) {
            std::fprintf(stderr, "no X display\n");
            std::exit(1);
        }
        screen_ = xcb_setup_roots_iterator(xcb_get_setup(connection_)).data;
    }
    ~Screen() { xcb_disconnect(connection_); }

    // Sample points of the screen that show colour: every 8th pixel of 18 rows.
    int pointsShowing(QRgb colour) const
    {
        const int rows = 18;
        std::vector<xcb_get_image_cookie_t> cookies;
        for (int row = 0; row < rows; ++row) {
            const int16_t y = int16_t((row * 2 + 1) * screen_->height_in_pixels / (rows * 2));
            cookies.push_back(xcb_get_image(connection_, XCB_IMAGE_FORMAT_Z_PIXMAP, screen_->root, 0, y,
                                            screen_->width_in_pixels, 1, ~0u));
        }
        int matching = 0;
        for (auto cookie : cookies) {
            xcb_get_image_reply_t* reply = xcb_get_image_reply(connection_, cookie, nullptr);
            if (!reply)
                continue;
            const auto* pixels = reinterpret_cast<const quint32*>(xcb_get_image_data(reply));
            const int count = xcb_get_image_data_length(reply) / 4;
            for (int x = 0; x < count; x += 8)
                matching += isClose(pixels[x], colour);
            std::free(reply);
        }
        return matching;
    }

    // Milliseconds from timer's start until colour covers enough of the screen; -1 on time-out.
    double waitFor(QRgb colour, const QElapsedTimer& timer) const
    {
        while (timer.elapsed() < kTimeoutMs) {
            if (pointsShowing(colour) >= 40)
                return timer.nsecsElapsed() / 1e6;
            QThread::usleep(1000);
        }
        return -1;
    }

private:
    static bool isClose(quint32 pixel, QRgb colour)
    {
        return std::abs(int(qRed(pixel)) - qRed(colour)) < 40 && std::abs(int(qGreen(pixel)) - qGreen(colour)) < 40
            && std::abs(int(qBlue(pixel)) - qBlue(colour)) < 40;
    }
    xcb_connection_t* connection_;
    xcb_screen_t* screen_;
};

struct Viewer {
    QString name;
    QString program;
    // The arguments that open file, in folder when the viewer is to list it.
    std::function<QStringList(const QString& file, const QString& folder)> arguments;
    // Empty for a program that cannot step.
    QString nextKey;
};

struct Scenario {
    QString name;
    QString file;
    QString folder;
    bool stepping = false;
};

void stop(QProcess& process)
{
    process.terminate();
    if (!process.waitForFinished(3000)) {
        process.kill();
        process.waitForFinished();
    }
}

void pressKey(const QString& key) { QProcess::execute(QStringLiteral("xdotool"), {QStringLiteral("key"), key}); }

// One round of a scenario with one viewer: the start, or the median step
// between 10 pictures after the start; -1 when the picture never showed.
double measure(const Screen& screen, const Viewer& viewer, const Scenario& scenario)
{
    while (screen.pointsShowing(kColourA) > 0 || screen.pointsShowing(kColourB) > 0)
        QThread::msleep(50);
    QProcess process;
    process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    process.setStandardOutputFile(QProcess::nullDevice());
    QElapsedTimer timer;
    timer.start();
    process.start(viewer.program, viewer.arguments(scenario.file, scenario.folder));
    double result = screen.waitFor(kColourA, timer);
    if (result >= 0 && scenario.stepping) {
        std::vector<double> steps;
        for (int step = 1; step <= 10 && result >= 0; ++step) {
            // At a person's pace: whatever the viewer does after showing a picture has time to end.
            QThread::msleep(500);
            timer.restart();
            pressKey(viewer.nextKey);
            result = screen.waitFor(step % 2 ? kColourB : kColourA, timer);
            steps.push_back(result);
        }
        std::sort(steps.begin(), steps.end());
        if (result >= 0)
            result = steps[steps.size() / 2];
    }
    stop(process);
    return result;
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}
}

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;
    const QString data = QDir::tempPath() + QStringLiteral("/pixalto-side-by-side");
    QDir().mkpath(data + "/single");
    QDir().mkpath(data + "/step");
    QDir().mkpath(data + "/many");
    savePicture(data + "/single/photo24.jpg", {6000, 4000}, kColourA);
    savePicture(data + "/single/photo12.png", {4000, 3000}, kColourA);
    savePicture(data + "/single/photo1.jpg", {1224, 816}, kColourA);
    for (int i = 0; i < 200; ++i)
        savePicture(QStringLiteral("%1/step/pic%2.jpg").arg(data).arg(i, 3, 10, QLatin1Char('0')), {6000, 4000},
                    i % 2 ? kColourB : kColourA);
    savePicture(data + "/many/pic00000.jpg", {1224, 816}, kColourA);
    for (int i = 1; i < 10000; ++i)
        savePicture(QStringLiteral("%1/many/pic%2.jpg").arg(data).arg(i, 5, 10, QLatin1Char('0')), {16, 16}, kColourB);

    // The viewer's settings as a person's after the first start: no questions, auto zoom on.
    QTemporaryDir config;
    qputenv("XDG_CONFIG_HOME", config.path().toLocal8Bit());
    const std::map<QString, QString> settings{{"User", "bench"}, {"UserReq", "0"}, {"SpcSetting", "NoSplash"},
                                              {"OLE", "0"}, {"AutoZoom", "1"}, {"PicPattern", "*.jpg;*.png"}};
    for (const auto& [key, value] : settings)
        writeSetting(key, value);

    const QString pixalto = QCoreApplication::applicationDirPath() + QStringLiteral("/pixalto");
    std::vector<Viewer> viewers{{"Pixalto", pixalto, [](const QString& file, const QString&) { return QStringList{file}; },
                                 "Down"}};
    if (const QString feh = QStandardPaths::findExecutable("feh"); !feh.isEmpty())
        viewers.push_back({"feh", feh,
                           [](const QString& file, const QString& folder) {
                               QStringList arguments{"--scale-down", "--geometry", "1600x1000"};
                               return folder.isEmpty() ? arguments << file
                                                       : arguments << "--start-at" << file << folder;
                           },
                           "Right"});
    // Not a viewer of folders: it shows the same picture, as the floor of what a Qt program costs.
    viewers.push_back({"bare Qt", QCoreApplication::applicationDirPath() + QStringLiteral("/bare_qt_viewer"),
                       [](const QString& file, const QString&) { return QStringList{file}; }, {}});
    if (const QString qimgv = QStandardPaths::findExecutable("qimgv"); !qimgv.isEmpty())
        viewers.push_back({"qimgv", qimgv, [](const QString& file, const QString&) { return QStringList{file}; },
                           "Right"});

    const std::vector<Scenario> scenarios{
        {"start -> 24 MP JPEG shown", data + "/single/photo24.jpg", {}},
        {"start -> 12 MP PNG shown", data + "/single/photo12.png", {}},
        {"start -> 1 MP JPEG shown", data + "/single/photo1.jpg", {}},
        {"start -> folder of 10,000 files, first shown", data + "/many/pic00000.jpg", data + "/many"},
        {"next 24 MP JPEG (200 files)", data + "/step/pic000.jpg", data + "/step", true}};

    Screen screen;
    std::printf("%-46s", "median ms");
    for (const Viewer& viewer : viewers)
        std::printf("%10s", qPrintable(viewer.name));
    std::printf("\n");
    for (const Scenario& scenario : scenarios) {
        std::map<QString, std::vector<double>> times;
        for (int round = 0; round < rounds; ++round)
            for (std::size_t i = 0; i < viewers.size(); ++i) {
                const Viewer& viewer = viewers[(i + round) % viewers.size()];
                if (scenario.stepping && viewer.nextKey.isEmpty())
                    continue;
                if (const double ms = measure(screen, viewer, scenario); ms >= 0)
                    times[viewer.name].push_back(ms);
            }
        std::printf("%-46s", qPrintable(scenario.name));
        for (const Viewer& viewer : viewers)
            if (times[viewer.name].empty())
                std::printf("%10s", "-");
            else
                std::printf("%10.0f", median(times[viewer.name]));
        std::printf("\n");
        std::fflush(stdout);
    }
    return 0;
}
