#include "app/command_line.h"
#include "app/main_window.h"
#include "browser/open_start_path.h"
#include "core/file_name.h"
#include "desktop/qt/qt_desktop.h"
#include "desktop/screen.h"
#include "picture/picture_loader.h"

#include <QApplication>
#include <QDir>
#include <QIcon>
#include <QTimer>
#include <clocale>
#include <cstdio>

namespace {
QStringList rawArguments(int argc, char** argv)
{
    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments.append(FileName::fromBytes(argv[i]));
    return arguments;
}

QIcon programIcon()
{
    QIcon icon;
    for (const QString& file : QDir(QStringLiteral(":/icons")).entryList())
        icon.addFile(QStringLiteral(":/icons/") + file);
    return icon;
}

void print(std::FILE* stream, const QString& text) { std::fputs(text.toLocal8Bit().constData(), stream); }
}

int main(int argc, char** argv)
{
    // Answered before Qt starts: with no display to connect to, Qt would
    // end the program before any answer.
    const CommandLine line = parseCommandLine(rawArguments(argc, argv));
    switch (line.action) {
    case CommandLine::Action::Help:
        print(stdout, usageText());
        return 0;
    case CommandLine::Action::Version:
        print(stdout, versionText());
        return 0;
    case CommandLine::Action::UnknownOption:
        print(stderr, unknownOptionText(line.unknownOption));
        return 2;
    case CommandLine::Action::Run:
        break;
    }
    QApplication app(argc, argv);
    allowLargePictures();
    // The movie player refuses any other numeric locale.
    std::setlocale(LC_NUMERIC, "C");
    // The dialogs that lay themselves out follow a theme's font once it
    // sets one; until then they look like the windows.
    QApplication::setFont(designFont());
    // The window class and the Wayland application id are the desktop
    // entry's name, so that the desktop finds the entry and its icon.
    QApplication::setApplicationName(QStringLiteral(PIXALTO_APP_ID));
    QApplication::setDesktopFileName(QStringLiteral(PIXALTO_APP_ID));
    QApplication::setWindowIcon(programIcon());
    QtDesktop desktop;
    MainWindow form;
    if (!form.Form_Load())
        return 0;
    form.showMaximized();
    // Opened once the window is up, as if the person had clicked the file.
    if (!line.path.isEmpty())
        QTimer::singleShot(0, &form, [&form, path = line.path] { openStartPath(form, path); });
    return app.exec();
}
