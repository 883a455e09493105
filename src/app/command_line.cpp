#include "app/command_line.h"

#include "core/program_info.h"

#include <QUrl>

namespace {
// A file manager may hand over a URL instead of a path.
QString localPath(const QString& argument)
{
    if (argument.startsWith(QLatin1String("file:"), Qt::CaseInsensitive)) {
        const QUrl url(argument);
        if (url.isLocalFile())
            return url.toLocalFile();
    }
    return argument;
}

// Qt's own options (QGuiApplication, QApplication, the xcb platform), taken
// with one dash or two. Qt takes them out of the arguments only once it has
// connected to the display, and the others must be answered before that.
const QStringList kQtOptionsWithValue{
    "platform", "platformpluginpath", "platformtheme", "plugin", "qwindowgeometry", "qwindowtitle",
    "qwindowicon", "geometry", "title", "icon", "session", "display", "name", "visual",
    "style", "stylesheet", "qmljsdebugger"};
const QStringList kQtFlags{"reverse", "testability", "widgetcount", "nograb", "dograb", "qdevel", "qdebug"};

// How many arguments a Qt option at argument takes: 1, 2 with its value, 0
// when argument is not one of Qt's.
int qtOptionLength(const QString& argument)
{
    const QString name = argument.mid(argument.startsWith(QLatin1String("--")) ? 2 : 1);
    if (kQtFlags.contains(name))
        return 1;
    if (kQtOptionsWithValue.contains(name))
        return 2;
    for (const char* joined : {"style=", "stylesheet=", "qmljsdebugger="})
        if (name.startsWith(QLatin1String(joined)))
            return 1;
    return 0;
}
}

CommandLine parseCommandLine(const QStringList& arguments)
{
    CommandLine line;
    bool help = false;
    bool version = false;
    bool optionsEnded = false;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString& argument = arguments.at(i);
        // "-" alone is a file name, as with most programs.
        const bool option = !optionsEnded && argument.startsWith(QLatin1Char('-')) && argument.size() > 1;
        if (option && qtOptionLength(argument) > 0) {
            i += qtOptionLength(argument) - 1;
        } else if (!option) {
            if (line.path.isEmpty())
                line.path = localPath(argument);
        } else if (argument == QLatin1String("--")) {
            optionsEnded = true;
        } else if (argument == QLatin1String("--help") || argument == QLatin1String("-h")) {
            help = true;
        } else if (argument == QLatin1String("--version")) {
            version = true;
        } else if (line.unknownOption.isEmpty()) {
            line.unknownOption = argument;
        }
    }
    if (help)
        line.action = CommandLine::Action::Help;
    else if (version)
        line.action = CommandLine::Action::Version;
    else if (!line.unknownOption.isEmpty())
        line.action = CommandLine::Action::UnknownOption;
    return line;
}

QString usageText()
{
    return QStringLiteral("Usage: pixalto [OPTION]... [FILE]\n"
                          "Shows pictures and animations. With FILE, opens its folder and shows it;\n"
                          "with a folder, opens that folder.\n\n"
                          "  -h, --help     show this help and exit\n"
                          "      --version  show the version and exit\n");
}

QString versionText() { return QStringLiteral("Pixalto ") + ProgramInfo::version() + QLatin1Char('\n'); }

QString unknownOptionText(const QString& option)
{
    return QStringLiteral("pixalto: unknown option '%1'\nTry 'pixalto --help' for more information.\n").arg(option);
}
