// Times picture loading of a 24-megapixel JPEG: loadPicture against a plain
// libjpeg-turbo decode of the same file, the preloader's next-file load once
// the neighbour has been decoded ahead, and select-to-shown in the main
// window (selection, decode, auto zoom and the first paint). Prints the peak
// resident size.
#include "app/main_window.h"
#include "controls/file_list.h"
#include "controls/image_view.h"
#include "desktop/qt/qt_desktop.h"
#include "picture/picture_loader.h"
#include "picture/picture_preloader.h"
#include "settings/settings_store.h"

#include <QDir>
#include <QApplication>
#include <QImage>
#include <QPainter>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <fcntl.h>
#include <jpeglib.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <thread>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

double ms(Clock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

// A photograph-like picture: gradients, shapes and grain, so that the file
// is as hard to decode as a camera's.
QImage photo(int w, int h, int seed)
{
    QImage image(w, h, QImage::Format_RGB32);
    QRandomGenerator rng(seed);
    for (int y = 0; y < h; ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < w; ++x) {
            const int grain = int(rng.bounded(24));
            line[x] = qRgb((x * 255 / w + grain) & 255, (y * 255 / h + grain) & 255, ((x + y) / 23 + grain) & 255);
        }
    }
    QPainter p(&image);
    for (int i = 0; i < 60; ++i) {
        p.setBrush(QColor::fromRgb(rng.generate()));
        p.drawEllipse(QPoint(rng.bounded(w), rng.bounded(h)), rng.bounded(w / 8) + 10, rng.bounded(h / 8) + 10);
    }
    return image;
}

// The yardstick: libjpeg-turbo straight into a buffer it has used before.
void plainDecode(const QByteArray& file, std::vector<unsigned char>& out)
{
    jpeg_decompress_struct cinfo;
    jpeg_error_mgr jerr;
    cinfo.err = jpeg_std_error(&jerr);
    jpeg_create_decompress(&cinfo);
    jpeg_mem_src(&cinfo, reinterpret_cast<const unsigned char*>(file.constData()), file.size());
    jpeg_read_header(&cinfo, TRUE);
    cinfo.out_color_space = JCS_EXT_BGRX;
    jpeg_start_decompress(&cinfo);
    const size_t stride = size_t(cinfo.output_width) * 4;
    out.resize(stride * cinfo.output_height);
    while (cinfo.output_scanline < cinfo.output_height) {
        unsigned char* row = out.data() + stride * cinfo.output_scanline;
        jpeg_read_scanlines(&cinfo, &row, 1);
    }
    jpeg_finish_decompress(&cinfo);
    jpeg_destroy_decompress(&cinfo);
}

QByteArray readAll(const QString& path)
{
    QFile f(path);
    f.open(QIODevice::ReadOnly);
    return f.readAll();
}

}

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QTemporaryDir dir;
    qputenv("XDG_CONFIG_HOME", dir.filePath(QStringLiteral("config")).toLocal8Bit());
    QApplication app(argc, argv);
    allowLargePictures();
    QtDesktop desktop;
    constexpr int width = 6000, height = 4000, files = 5, runs = 7;

    std::printf("generating %d JPEGs of %dx%d (%.0f MP)...\n", files, width, height, width * height / 1e6);
    QStringList paths;
    for (int i = 0; i < files; ++i) {
        const QString path = dir.filePath(QStringLiteral("photo%1.jpg").arg(i));
        photo(width, height, i + 1).save(path, "jpg", 90);
        // As for files not written a moment ago.
        const timespec old[2] = {{time(nullptr) - 3600, 0}, {time(nullptr) - 3600, 0}};
        utimensat(AT_FDCWD, QFile::encodeName(path).constData(), old, 0);
        paths << path;
    }
    std::printf("file size %.1f MB\n", QFileInfo(paths[0]).size() / 1e6);

    std::vector<double> plain, loader;
    {
        // The yardstick's buffer goes with it: the peak below is the viewer's.
        std::vector<unsigned char> buffer;
        for (int r = 0; r < runs; ++r) {
            auto t0 = Clock::now();
            plainDecode(readAll(paths[0]), buffer);
            plain.push_back(ms(Clock::now() - t0));
            t0 = Clock::now();
            QImage image = loadPicture(paths[0]);
            loader.push_back(ms(Clock::now() - t0));
        }
    }
    std::printf("plain libjpeg-turbo decode (read + decode): median %.1f ms\n", median(plain));
    std::printf("loadPicture:                                median %.1f ms  (%.2fx)\n",
                median(loader), median(loader) / median(plain));
    std::printf("loadPicture first (cold) run:               %.1f ms\n", loader[0]);

    // Stepping through the folder: each file is shown, its neighbour preloaded
    // while the user looks at it, then the neighbour is selected.
    std::vector<double> next;
    {
        PicturePreloader preloader;
        QImage shown = preloader.load(paths[0]);
        for (int i = 1; i < files; ++i) {
            preloader.preload({paths[i], paths[i - 1]});
            std::this_thread::sleep_for(std::chrono::milliseconds(1500));
            const auto t0 = Clock::now();
            shown = preloader.load(paths[i]);
            next.push_back(ms(Clock::now() - t0));
        }
    }
    std::printf("PicturePreloader next-file load:            median %.2f ms over %zu steps\n",
                median(next), next.size());

    // The main window: a selection shows the picture shrunk to fit.
    writeSetting(QStringLiteral("AutoZoom"), QStringLiteral("1"));
    std::vector<double> coldSelect, settledSelect;
    {
        MainWindow form;
        form.resize(1280, 1000);
        form.show();
        QApplication::processEvents();
        form.File1->setPattern(QStringLiteral("*.jpg"));
        form.File1->setPath(dir.path());
        const auto selectAndPaint = [&](int index) {
            const auto t0 = Clock::now();
            form.File1->setListIndex(index);
            form.Image1->repaint();
            return ms(Clock::now() - t0);
        };
        // 0 and 3 are never neighbours of the file shown before them, so they
        // find nothing preloaded; 1 and 4 follow a file shown for a while.
        for (int round = 0; round < 3; ++round) {
            for (int start : {0, 3}) {
                coldSelect.push_back(selectAndPaint(start));
                std::this_thread::sleep_for(std::chrono::milliseconds(1500));
                settledSelect.push_back(selectAndPaint(start + 1));
                std::this_thread::sleep_for(std::chrono::milliseconds(1500));
            }
        }
    }
    std::printf("select-to-shown, nothing preloaded:         median %.1f ms  (%.2fx plain decode)\n",
                median(coldSelect), median(coldSelect) / median(plain));
    std::printf("select-to-shown once settled, in order (ms):");
    for (double v : settledSelect)
        std::printf(" %.1f", v);
    std::printf("\n");
    std::printf("select-to-shown, next file once settled:    median %.1f ms, worst %.1f ms\n",
                median(settledSelect), *std::max_element(settledSelect.begin(), settledSelect.end()));

    rusage usage;
    getrusage(RUSAGE_SELF, &usage);
    std::printf("peak RSS: %.0f MB\n", usage.ru_maxrss / 1024.0);
    return 0;
}
