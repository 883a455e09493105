// Times the info list on a folder of 10,000 distinct 640 x 480 JPEGs, from
// the menu command to the editor shown: with picture sizes against
// `identify -ping` and without them against `find -printf` over the same
// folder, in the same run.
// Usage: bench_infolist [folder]   (the pictures are made when missing)
#include "app/main_window.h"
#include "controls/dir_list.h"
#include "controls/file_list.h"
#include "desktop/desktop.h"
#include "desktop/qt/qt_desktop.h"
#include "editor/form6.h"
#include "picture/picture_loader.h"
#include "support/form1_controls.h"

#include "bench_folders.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
#include <QTextEdit>
#include <algorithm>
#include <cstdio>
#include <vector>

namespace {
const int kFiles = 10000;

// The person at the screen answers the size question the same way each time.
class Answer : public Dialogs {
public:
    MsgResult messageBox(const MessageBoxRequest&) override { return answer; }
    QString inputBox(const InputBoxRequest&) override { return {}; }
    FileDialogResult fileDialog(const FileDialogRequest&) override { Errors::raise(Errors::dialogCancelled()); }
    void beep() override { ++beeps; }
    MsgResult answer = MsgResult::Yes;
    int beeps = 0;
};

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

double timeProcess(const QString& program, const QStringList& arguments, qsizetype* lines)
{
    QElapsedTimer t;
    t.start();
    QProcess p;
    p.start(program, arguments);
    p.waitForFinished(-1);
    *lines = p.readAllStandardOutput().count('\n');
    return t.nsecsElapsed() / 1e6;
}
}

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QtDesktop qtDesktop;
    Answer answer;
    Desktop desktop = qtDesktop.parts();
    desktop.dialogs = &answer;
    preparePictureReading();
    const QString dir = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QDir::tempPath() + "/pixalto-bench-infolist";
    makeJpegFolder(dir, kFiles, {640, 480});
    QStringList paths;
    for (const QString& name : QDir(dir).entryList({"*.jpg"}, QDir::Files, QDir::Name))
        paths.append(dir + "/" + name);

    MainWindow form(desktop);
    const Form1Controls ui(form);
    form.setFileKind(true, QStringLiteral("*.jpg"));
    ui.Dir1->setPath(dir);

    std::vector<double> identify, find, sized, plain;
    qsizetype identified = 0, found = 0;
    int reported = 0;
    auto report = [&](MsgResult choice) {
        answer.answer = choice;
        form.secondaryWindows().editor.unload();
        QElapsedTimer t;
        t.start();
        ui.mnuinfolist->trigger();
        // The run ends when the window takes input again, the report in the
        // editor.
        while (!form.isEnabled())
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        const double ms = t.nsecsElapsed() / 1e6;
        const Form6* editor = Form6::existing(form.secondaryWindows());
        reported = editor && editor->isVisible() ? int(editor->RichTextBox1->document()->blockCount()) : -1;
        return ms;
    };
    for (int run = 0; run < 5; ++run) {
        identify.push_back(timeProcess("identify", QStringList{"-ping", "-format", "%f %w %h\n"} + paths, &identified));
        sized.push_back(report(MsgResult::Yes));
        find.push_back(timeProcess("find", {dir, "-maxdepth", "1", "-type", "f", "-printf", "%f %s %t\n"}, &found));
        plain.push_back(report(MsgResult::No));
    }
    std::printf("folder: %s, %lld pictures; identify listed %lld, find %lld, report lines %d, failures %d\n",
                qPrintable(dir), qlonglong(paths.size()), qlonglong(identified), qlonglong(found), reported,
                answer.beeps);
    std::printf("identify -ping (process):          %8.1f ms (median of 5)\n", median(identify));
    std::printf("info list with picture sizes:      %8.1f ms (%.2fx identify)\n", median(sized),
                median(sized) / median(identify));
    std::printf("find -printf '%%f %%s %%t\\n' (process): %8.1f ms (median of 5)\n", median(find));
    std::printf("info list without picture sizes:   %8.1f ms (%.2fx find)\n", median(plain),
                median(plain) / median(find));
    return 0;
}
