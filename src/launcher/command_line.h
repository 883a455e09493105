#pragma once
#include <string>
#include <vector>

// What the command line asks for. Help wins over version, and both over an
// unknown option, so that they can be answered before the display is opened.
// Plain C++: the launcher answers them without loading Qt.
struct CommandLine {
    enum class Action { Run, Help, Version, UnknownOption };
    Action action = Action::Run;
    // The first path given, as its bytes (a file:// URL still as given); empty when none.
    std::string path;
    // The first option not understood.
    std::string unknownOption;
};

// arguments: without the program name. "--" ends the options. Qt's own
// options (-platform NAME, --style=NAME, ...) and their values are passed over.
CommandLine parseCommandLine(const std::vector<std::string>& arguments);

std::string usageText();
std::string versionText();
std::string unknownOptionText(const std::string& option);
