#pragma once
#include <QFont>

// The editor's design font, Courier New, or the system's fixed-pitch font
// where Courier New is not installed: 8 points for the document's text, 7.8
// for the box itself.
QFont editorFont();
QFont editorControlFont();
