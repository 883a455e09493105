#pragma once
#include <QString>

class Form1;

// The three roles a folder can take: the copy directory of this run, the
// default copy directory and the start-up directory.

// A folder as the directory commands take it: ending in "/" ("/" stays
// "/"). Throws PxError when there is no folder.
QString directoryValue(const QString& folder);
// Makes folder the main window's copy directory of this run (Text3 and
// status panel 3); nothing is stored.
void useAsCopyDirectory(Form1& form, const QString& folder);
