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
}

CommandLine parseCommandLine(const QStringList& arguments)
{
    CommandLine line;
    bool help = false;
    bool version = false;
    bool optionsEnded = false;
    for (const QString& argument : arguments) {
        // "-" alone is a file name, as with most programs.
        const bool option = !optionsEnded && argument.startsWith(QLatin1Char('-')) && argument.size() > 1;
        if (!option) {
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
