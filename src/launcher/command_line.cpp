#include "launcher/command_line.h"

#include <algorithm>
#include <array>
#include <string_view>

namespace {
// Qt's own options (QGuiApplication, QApplication, the xcb platform), taken
// with one dash or two. Qt takes them out of the arguments only once it has
// connected to the display, and the others must be answered before that.
constexpr std::array<std::string_view, 17> kQtOptionsWithValue{
    "platform", "platformpluginpath", "platformtheme", "plugin", "qwindowgeometry", "qwindowtitle",
    "qwindowicon", "geometry", "title", "icon", "session", "display", "name", "visual",
    "style", "stylesheet", "qmljsdebugger"};
constexpr std::array<std::string_view, 7> kQtFlags{"reverse", "testability", "widgetcount", "nograb",
                                                   "dograb", "qdevel", "qdebug"};

bool contains(const auto& names, std::string_view name)
{
    return std::find(names.begin(), names.end(), name) != names.end();
}

// How many arguments a Qt option at argument takes: 1, 2 with its value, 0
// when argument is not one of Qt's.
int qtOptionLength(std::string_view argument)
{
    const std::string_view name = argument.substr(argument.starts_with("--") ? 2 : 1);
    if (contains(kQtFlags, name))
        return 1;
    if (contains(kQtOptionsWithValue, name))
        return 2;
    for (std::string_view joined : {"style=", "stylesheet=", "qmljsdebugger="})
        if (name.starts_with(joined))
            return 1;
    return 0;
}
}

CommandLine parseCommandLine(const std::vector<std::string>& arguments)
{
    CommandLine line;
    bool help = false;
    bool version = false;
    bool optionsEnded = false;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        // "-" alone is a file name, as with most programs.
        const bool option = !optionsEnded && argument.starts_with('-') && argument.size() > 1;
        if (option && qtOptionLength(argument) > 0) {
            i += qtOptionLength(argument) - 1;
        } else if (!option) {
            if (line.path.empty())
                line.path = argument;
        } else if (argument == "--") {
            optionsEnded = true;
        } else if (argument == "--help" || argument == "-h") {
            help = true;
        } else if (argument == "--version") {
            version = true;
        } else if (line.unknownOption.empty()) {
            line.unknownOption = argument;
        }
    }
    if (help)
        line.action = CommandLine::Action::Help;
    else if (version)
        line.action = CommandLine::Action::Version;
    else if (!line.unknownOption.empty())
        line.action = CommandLine::Action::UnknownOption;
    return line;
}

std::string usageText()
{
    return "Usage: pixalto [OPTION]... [FILE]\n"
           "Shows pictures and animations. With FILE, opens its folder and shows it;\n"
           "with a folder, opens that folder.\n\n"
           "  -h, --help     show this help and exit\n"
           "      --version  show the version and exit\n";
}

std::string versionText() { return std::string("Pixalto ") + PIXALTO_VERSION + '\n'; }

std::string unknownOptionText(const std::string& option)
{
    return "pixalto: unknown option '" + option + "'\nTry 'pixalto --help' for more information.\n";
}
