#pragma once
#include <QString>

// The one rule for joining a folder and a name: folder + "/" + name, or
// folder + name when the folder already ends in "/" (the root).
QString fullPath(const QString& folder, const QString& name);
// A folder path as stored and handed to the file commands: ending in "/".
QString withTrailingSeparator(const QString& folder);
