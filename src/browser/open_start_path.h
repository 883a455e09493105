#pragma once
#include <QString>

class Form1;

// Opens what the command line names once the start-up is done: a folder in
// the directory list, a file by selecting it in its folder's list, which
// shows it as a click does. A picture the current pattern leaves out is a
// request to see it: its type joins the pattern for this run, as a manual
// pattern. A path that does not exist, or a file the list still does not
// show (not a picture, a hidden file), is reported and the program goes on
// as after a plain start. A relative path is taken from the current folder.
void openStartPath(Form1& form, const QString& path);
// The same once the shown window is first on the screen: the window manager
// maximises the window some time after it is shown, and a picture opened
// before that would be fitted to the smaller window.
void openStartPathOnceShown(Form1& form, const QString& path);
