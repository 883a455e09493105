#pragma once
#include <QByteArray>

#include <optional>

// Whether a picture's data holds all of the picture. Several of Qt's readers
// hand out what they got of a cut-off file, padded or half drawn, and call
// that success; these checks find the end first.
namespace Completeness {

// The checks that take a moment only, by Qt's format name; a format without
// one passes.
bool isComplete(const QByteArray& format, const QByteArray& data);
// How far into its file a picture reaches, for the formats whose header
// tells (data holds at least the header); nullopt for the others.
std::optional<qint64> declaredLength(const QByteArray& format, const QByteArray& data);

}
