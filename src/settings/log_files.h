#pragma once
#include <QString>

// Where "PXRunLog.txt" and "PXLog.txt" live: the program folder, or the
// application's data folder when the program folder cannot be written.
QString logFolder();
QString runLogPath();
QString programLogPath();
