#pragma once
#include <QString>

// The one rule for joining a folder and a name: folder + "/" + name, or
// folder + name when the folder already ends in "/" (the root).
QString fullPath(const QString& folder, const QString& name);
// The folder a path lies in, worked out on the text alone so that a name
// that is not valid UTF-8 keeps its bytes: "/" for the root's entries and
// "." for a bare name.
QString folderOf(const QString& path);
// The last part of a path; "/" for the root itself.
QString nameOf(const QString& path);
// A folder path as stored and handed to the file commands: ending in "/".
QString withTrailingSeparator(const QString& folder);
