#pragma once
#include <QString>

// The running program: its folder (where the help file, the companion and
// the logs live), its file name and its major version.
namespace ProgramInfo {
QString folder();          // without a trailing separator
QString appPath();         // folder + "/"
QString exeName();         // file name without extension + ".exe"
QString version();         // "3.0", from the build
QString majorVersion();    // "3"
QString helpFile();        // folder + "/pxhelp.hlp"
// A helper or module built and installed beside the executable, whatever
// folder the program is pointed at.
QString besideProgram(const QString& name);
// Points the program at another folder (tests run each case in its own).
void setFolder(const QString& folder);
}
