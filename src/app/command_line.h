#pragma once
#include <QString>
#include <QStringList>

// What the command line asks for. Help wins over version, and both over an
// unknown option, so that they can be answered before the display is opened.
struct CommandLine {
    enum class Action { Run, Help, Version, UnknownOption };
    Action action = Action::Run;
    // The first path given (file:// URLs made local paths); empty when none.
    QString path;
    // The first option not understood.
    QString unknownOption;
};

// arguments: without the program name. "--" ends the options. Qt's own
// options (-platform NAME, --style=NAME, ...) and their values are passed over.
CommandLine parseCommandLine(const QStringList& arguments);

QString usageText();
QString versionText();
QString unknownOptionText(const QString& option);
