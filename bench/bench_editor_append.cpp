// Times appending report lines to the editor's document one at a time, as the
// info list does, for 2,500, 10,000 and 40,000 lines: the time per line stays
// the same when appending is linear in total.
// Usage: QT_QPA_PLATFORM=offscreen bench_editor_append
#include "desktop/qt/qt_desktop.h"
#include "editor/form6.h"
#include "startup/secondary_windows.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTextEdit>
#include <cstdio>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QtDesktop desktop;
    ProgramLog log;
    SecondaryWindows windows(nullptr, desktop.parts(), log);
    for (const int lines : {2500, 10000, 40000}) {
        Form6* editor = Form6::instance(windows);
        editor->show();
        QElapsedTimer t;
        t.start();
        for (int i = 0; i < lines; ++i)
            editor->appendText(QStringLiteral("picture%1.jpg       123,456   640 x 480   2026-12-06 20:15:00\n").arg(i));
        const double ms = double(t.nsecsElapsed()) / 1e6;
        std::printf("%6d lines: %8.1f ms, %6.1f us per line, %lld characters\n", lines, ms, ms * 1000 / lines,
                    qlonglong(editor->RichTextBox1->document()->characterCount()));
        // Unchanged, so closing asks nothing.
        editor->Label2.clear();
        windows.editor.unload();
    }
    return 0;
}
