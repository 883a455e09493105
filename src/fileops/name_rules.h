#pragma once
#include <QString>
#include <optional>

// The naming rules of the file commands, apart from any file system.

// Up to four characters after the first "." of a path, wherever that "."
// stands (a folder name included); nullopt when the path has no ".".
std::optional<QString> extensionAfterFirstDot(const QString& path);

// Save As with the picture-files filter: the chosen path up to its first
// ".", then "." and the source's extension. nullopt when the chosen path has
// no "."; the chosen path unchanged when the source has none.
std::optional<QString> saveAsTarget(const QString& chosen, const QString& source);

// Rename: an answer without "." keeps the old file's extension; an answer
// with one, or an old path without one, is used as typed.
QString renameTarget(const QString& folder, const QString& answer, const QString& oldPath);

// True when an answer names one entry of a folder and not a path.
bool isPlainName(const QString& name);
