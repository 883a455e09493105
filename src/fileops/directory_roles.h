#pragma once
#include <QString>

// The three roles a folder can take: the copy directory of this run, the
// default copy directory and the start-up directory.

// A folder as the directory commands take it: ending in "/" ("/" stays
// "/"). Throws PxError when there is no folder.
QString directoryValue(const QString& folder);
