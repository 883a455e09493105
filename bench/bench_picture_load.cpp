// Times picture loading of a 24-megapixel JPEG: loadPicture of the whole
// picture against a plain libjpeg-turbo decode of the same file, and
// select-to-shown in the main window with auto zoom (selection, decode at the
// shown size, the first paint), and the cost of an Adobe RGB profile. Then a 20000 x 20000 JPEG: its time to shown
// and the peak resident size.
#include "app/main_window.h"
#include "controls/file_list.h"
#include "controls/image_view.h"
#include "desktop/qt/qt_desktop.h"
#include "picture/picture_loader.h"
#include "picture/picture_preloader.h"
#include "settings/settings_store.h"
#include "support/form1_controls.h"
#include "support/test_files.h"

#include <QDir>
#include <QApplication>
#include <QColorSpace>
#include <QImageReader>
#include <QProcess>
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

// From the selection to the picture drawn in the picture area.
double selectToShown(MainWindow& form, int index)
{
    const Form1Controls ui(form);
    const QString path = ui.File1->path() + u'/' + ui.File1->item(index);
    const auto t0 = Clock::now();
    ui.File1->setListIndex(index);
    while (ui.Image1->wholePicture().source() != path)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    ui.Image1->repaint();
    return ms(Clock::now() - t0);
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
    preparePictureReading();
    QtDesktop desktop;
    constexpr int width = 6000, height = 4000, files = 5, runs = 7;

    // First, while the peak is still the viewer's alone: 400 megapixels of
    // one colour, shown fitted.
    {
        const QString big = dir.filePath(QStringLiteral("huge/huge.jpg"));
        QDir(dir.path()).mkdir(QStringLiteral("huge"));
        savePlainJpeg(big, {20000, 20000}, Qt::darkGreen);
        rusage before;
        getrusage(RUSAGE_SELF, &before);
        writeSetting(QStringLiteral("AutoZoom"), QStringLiteral("1"));
        MainWindow form(desktop.parts());
        const Form1Controls ui(form);
        form.resize(1280, 1000);
        form.show();
        ui.File1->setPattern(QStringLiteral("*.jpg"));
        ui.File1->setPath(QFileInfo(big).path());
        const double shown = selectToShown(form, 0);
        rusage after;
        getrusage(RUSAGE_SELF, &after);
        std::printf("20000 x 20000 JPEG (%.1f MB) select-to-shown: %.0f ms, shown at %dx%d, peak RSS %.0f MB (%.0f MB before)\n",
                    QFileInfo(big).size() / 1e6, shown, ui.Image1->width(), ui.Image1->height(),
                    after.ru_maxrss / 1024.0, before.ru_maxrss / 1024.0);
    }

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

    std::vector<double> plain, loader, fitted;
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
            t0 = Clock::now();
            image = loadPicture(paths[0], nullptr, PicturePreloader::shownPixels, {954, 636});
            fitted.push_back(ms(Clock::now() - t0));
        }
    }
    std::printf("plain libjpeg-turbo decode (read + decode): median %.1f ms\n", median(plain));
    std::printf("loadPicture, whole picture:                 median %.1f ms  (%.2fx)\n",
                median(loader), median(loader) / median(plain));
    std::printf("loadPicture at 954 x 636, as auto zoom shows it: median %.1f ms  (%.2fx)\n",
                median(fitted), median(fitted) / median(plain));

    // The same kind of picture with an Adobe RGB profile, converted to sRGB
    // as it loads.
    QDir(dir.path()).mkdir(QStringLiteral("profiled"));
    const QString profiled = dir.filePath(QStringLiteral("profiled/adobe.jpg"));
    {
        QImage image = photo(width, height, 1);
        image.setColorSpace(QColorSpace(QColorSpace::AdobeRgb));
        image.save(profiled, "jpg", 90);
    }
    std::vector<double> profiledWhole, profiledFitted;
    for (int r = 0; r < runs; ++r) {
        auto t0 = Clock::now();
        QImage image = loadPicture(profiled);
        profiledWhole.push_back(ms(Clock::now() - t0));
        t0 = Clock::now();
        image = loadPicture(profiled, nullptr, PicturePreloader::shownPixels, {954, 636});
        profiledFitted.push_back(ms(Clock::now() - t0));
    }
    std::printf("Adobe RGB profile (%s), whole picture:    median %.1f ms  (%.2fx)\n",
                QImageReader(profiled).read().colorSpace().isValid() ? "embedded" : "NOT embedded",
                median(profiledWhole), median(profiledWhole) / median(plain));
    std::printf("Adobe RGB profile, at 954 x 636:          median %.1f ms  (%.2fx)\n", median(profiledFitted),
                median(profiledFitted) / median(plain));

    // A 12-megapixel HEIC as a phone writes it: loadPicture against libheif's
    // own converter writing the raw pixels (no encoding of its own to count).
    {
        QDir(dir.path()).mkdir(QStringLiteral("heic"));
        const QString png = dir.filePath(QStringLiteral("heic/phone.png"));
        const QString heic = dir.filePath(QStringLiteral("heic/phone.heic"));
        photo(4000, 3000, 9).save(png);
        QProcess encode;
        encode.start(QStringLiteral("heif-enc"), {"-q", "80", "-o", heic, png});
        if (encode.waitForFinished(600000) && encode.exitCode() == 0) {
            std::vector<double> ours, theirs, fittedHeic;
            for (int r = 0; r < runs; ++r) {
                auto t0 = Clock::now();
                QProcess convert;
                convert.start(QStringLiteral("heif-convert"), {heic, dir.filePath(QStringLiteral("heic/out.y4m"))});
                convert.waitForFinished(600000);
                theirs.push_back(ms(Clock::now() - t0));
                t0 = Clock::now();
                QImage image = loadPicture(heic);
                ours.push_back(ms(Clock::now() - t0));
                t0 = Clock::now();
                image = loadPicture(heic, nullptr, PicturePreloader::shownPixels, {954, 716});
                fittedHeic.push_back(ms(Clock::now() - t0));
            }
            std::printf("12 MP HEIC: heif-convert to raw Y4M (process start included): median %.1f ms\n", median(theirs));
            std::printf("12 MP HEIC: loadPicture, whole:                median %.1f ms  (%.2fx)\n", median(ours),
                        median(ours) / median(theirs));
            std::printf("12 MP HEIC: loadPicture at 954 x 716:          median %.1f ms  (%.2fx)\n", median(fittedHeic),
                        median(fittedHeic) / median(theirs));
            // Selected in the main window with auto zoom, as the JPEGs below.
            QFile::remove(png);
            QFile::remove(dir.filePath(QStringLiteral("heic/out.y4m")));
            for (int i = 1; i < 5; ++i)
                QFile::copy(heic, dir.filePath(QStringLiteral("heic/phone%1.heic").arg(i)));
            for (const QFileInfo& file : QDir(dir.filePath(QStringLiteral("heic"))).entryInfoList(QDir::Files)) {
                const timespec old[2] = {{time(nullptr) - 3600, 0}, {time(nullptr) - 3600, 0}};
                utimensat(AT_FDCWD, QFile::encodeName(file.filePath()).constData(), old, 0);
            }
            writeSetting(QStringLiteral("AutoZoom"), QStringLiteral("1"));
            MainWindow form(desktop.parts());
            const Form1Controls ui(form);
            form.resize(1280, 1000);
            form.show();
            ui.File1->setPattern(QStringLiteral("*.heic"));
            ui.File1->setPath(dir.filePath(QStringLiteral("heic")));
            std::vector<double> shown;
            for (int round = 0; round < 2; ++round)
                for (int index : {0, 3})
                    shown.push_back(selectToShown(form, index));
            std::printf("12 MP HEIC: select-to-shown, auto zoom, not preloaded: median %.1f ms  (%.2fx)\n",
                        median(shown), median(shown) / median(theirs));
        } else {
            std::printf("12 MP HEIC: heif-enc could not make the file\n");
        }
    }

    // The main window on a 1280 x 1024 screen: a selection shows the picture
    // shrunk to fit. 0 and 3 are never neighbours of the file shown before
    // them, so they find nothing preloaded.
    writeSetting(QStringLiteral("AutoZoom"), QStringLiteral("1"));
    std::vector<double> coldSelect;
    {
        MainWindow form(desktop.parts());
        const Form1Controls ui(form);
        form.resize(1280, 1000);
        form.show();
        ui.File1->setPattern(QStringLiteral("*.jpg"));
        ui.File1->setPath(dir.path());
        for (int round = 0; round < 4; ++round)
            for (int index : {0, 3})
                coldSelect.push_back(selectToShown(form, index));
    }
    std::printf("select-to-shown, auto zoom, not preloaded:  median %.1f ms  (%.2fx plain decode)\n",
                median(coldSelect), median(coldSelect) / median(plain));

    rusage usage;
    getrusage(RUSAGE_SELF, &usage);
    std::printf("peak RSS: %.0f MB\n", usage.ru_maxrss / 1024.0);
    return 0;
}
