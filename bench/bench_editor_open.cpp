// Times the editor's Open and Save of a rich-text document of 50,000
// paragraphs (about 5 MB) in a shown window, the file dialog answered at
// once so only the reading, showing and writing count, and the window's
// longest stall while the document is read and laid out.
// Usage: QT_QPA_PLATFORM=offscreen bench_editor_open
#include "desktop/desktop.h"
#include "desktop/qt/qt_desktop.h"
#include "editor/form6.h"
#include "editor/rtf/rtf.h"
#include "startup/secondary_windows.h"

#include "bench_measures.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextEdit>
#include <QTextLayout>
#include <cstdio>

namespace {
// Answers every file dialog with one file as rich text.
class AnswerOnce : public Dialogs {
public:
    explicit AnswerOnce(QString p) : path(std::move(p)) {}
    MsgResult messageBox(const MessageBoxRequest&) override { return MsgResult::No; }
    QString inputBox(const InputBoxRequest&) override { return {}; }
    FileDialogResult fileDialog(const FileDialogRequest&) override { return {path, 2}; }
    void beep() override {}
    QString path;
};

QByteArray sampleRtf()
{
    QTextDocument document;
    QTextCursor cursor(&document);
    QTextCharFormat bold;
    bold.setFontWeight(QFont::Bold);
    for (int i = 0; i < 50000; ++i) {
        cursor.insertText(QStringLiteral("Paragraph %1 with some plain words, ").arg(i));
        cursor.insertText(QStringLiteral("a bold part"), bold);
        cursor.insertText(QStringLiteral(" and a tab\tbefore the end.\n"), QTextCharFormat());
    }
    return writeRtf(document);
}
}

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QtDesktop qt;
    QTemporaryDir dir;
    const QString path = dir.path() + QStringLiteral("/sample.rtf");
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(sampleRtf()) < 0)
        return 1;
    file.close();
    AnswerOnce answers(path);
    Desktop withAnswers = qt.parts();
    withAnswers.dialogs = &answers;

    ProgramLog log;
    SecondaryWindows windows(nullptr, withAnswers, log);
    Form6* editor = Form6::instance(windows);
    editor->show();
    const Outcome open = measure([&] { editor->openfile(); }, [&] {
        QTextDocument* document = editor->RichTextBox1->document();
        if (!editor->isEnabled() || document->blockCount() < 50000)
            return false;
        // Laid out to the end: the last block has its lines.
        return document->lastBlock().layout()->lineCount() > 0;
    });
    QElapsedTimer t;
    t.start();
    editor->mnusave_Click();
    const double saveMs = double(t.nsecsElapsed()) / 1e6;
    std::printf("%lld bytes, %d paragraphs: open and lay out %lld ms (longest stall %lld ms), save %.0f ms\n",
                qlonglong(QFile(path).size()), editor->RichTextBox1->document()->blockCount(), open.totalMs,
                open.longestStallMs, saveMs);
    windows.editor.unload();
    return 0;
}
