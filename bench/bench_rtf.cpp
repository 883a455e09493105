// Times reading and writing generated rich-text documents of 1, 5 and 20 MB
// (about 9,400 paragraphs a megabyte, with bold, italic, font, size and
// colour runs, accented and non-Latin characters and tabs): reading into a
// new document, opening in a shown text box (read into a new document that
// the box then shows, as the editor does), and writing. Wall and CPU times,
// median of three runs.
// Usage: bench_rtf
#include "editor/rtf/rtf.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTextDocument>
#include <QTextEdit>
#include <algorithm>
#include <cstdio>
#include <ctime>
#include <memory>
#include <vector>

namespace {

QByteArray document(qsizetype bytes)
{
    QByteArray rtf = "{\\rtf1\\ansi\\ansicpg1252\\deff0{\\fonttbl{\\f0\\fmodern Courier New;}{\\f1\\fswiss Arial;}}"
                     "{\\colortbl;\\red200\\green0\\blue0;}\\f0\\fs16\n";
    rtf.reserve(bytes + 200);
    for (int i = 0; rtf.size() < bytes; ++i) {
        rtf += "Paragraph " + QByteArray::number(i) + " holds {\\b bold} and {\\i\\f1 italic} words,\\tab "
               "{\\cf1\\fs20 red} caf\\'e9 \\u8364? \\u1046? text.\\par\n";
    }
    return rtf + "}";
}

double cpuMs()
{
    timespec t;
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return t.tv_sec * 1e3 + t.tv_nsec / 1e6;
}

struct Time {
    double wall, cpu;
};

template <typename F> Time timed(F&& run)
{
    std::vector<double> wall, cpu;
    for (int i = 0; i < 3; ++i) {
        QElapsedTimer clock;
        clock.start();
        const double start = cpuMs();
        run();
        cpu.push_back(cpuMs() - start);
        wall.push_back(clock.nsecsElapsed() / 1e6);
    }
    std::sort(wall.begin(), wall.end());
    std::sort(cpu.begin(), cpu.end());
    return {wall[1], cpu[1]};
}

}

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    std::printf("ms, wall / cpu   %10s %16s %16s %16s %12s\n", "paragraphs", "read", "open in a box", "write",
                "read cpu/MB");
    for (const int megabytes : {1, 5, 20}) {
        const QByteArray rtf = document(qsizetype(megabytes) * 1024 * 1024);
        int paragraphs = 0;
        const Time read = timed([&] {
            QTextDocument doc;
            QTextCursor cursor(&doc);
            insertRtf(cursor, rtf);
            paragraphs = doc.blockCount();
        });
        // Declared first, so that the box lets go of it before it goes.
        std::unique_ptr<QTextDocument> shown;
        QTextEdit edit;
        edit.resize(640, 480);
        edit.show();
        QApplication::processEvents();
        const Time open = timed([&] {
            auto doc = std::make_unique<QTextDocument>();
            QTextCursor cursor(doc.get());
            insertRtf(cursor, rtf);
            edit.setDocument(doc.get());
            shown = std::move(doc);
            QApplication::processEvents();
        });
        qsizetype written = 0;
        const Time write = timed([&] { written = writeRtf(*edit.document()).size(); });
        std::printf("%2d MB (%4.1f MB)  %10d %7.0f / %6.0f %7.0f / %6.0f %7.0f / %6.0f %12.0f\n", megabytes,
                    written / 1048576.0, paragraphs, read.wall, read.cpu, open.wall, open.cpu, write.wall, write.cpu,
                    read.cpu / megabytes);
    }
    return 0;
}
