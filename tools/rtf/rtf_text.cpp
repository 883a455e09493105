// rtf_text FILE: reads a rich-text file with the editor's reader and prints
// "pictures N" and then the text, for the interoperability check.
#include "editor/rtf/rtf.h"

#include <QFile>
#include <QGuiApplication>
#include <QTextCursor>
#include <QTextDocument>
#include <cstdio>

int main(int argc, char** argv)
{
    // Fonts and pictures need a GUI application, never a screen.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: rtf_text FILE\n");
        return 2;
    }
    QFile file(QString::fromLocal8Bit(argv[1]));
    if (!file.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "%s\n", qPrintable(file.errorString()));
        return 1;
    }
    QTextDocument document;
    QTextCursor cursor(&document);
    if (!insertRtf(cursor, file.readAll())) {
        std::fprintf(stderr, "not RTF\n");
        return 1;
    }
    QString text = document.toPlainText();
    const qsizetype pictures = text.count(QChar::ObjectReplacementCharacter);
    text.remove(QChar::ObjectReplacementCharacter);
    std::printf("pictures %lld\n%s\n", qlonglong(pictures), text.toUtf8().constData());
    return 0;
}
