#pragma once
#include <QString>
#include <QUrl>

#include <optional>

// file:// addresses that other desktop programs exchange with the viewer in
// drag and drop. The path's bytes travel percent-encoded, so a name that is
// not valid UTF-8 reaches the same file both ways.
namespace FileUrl {

QUrl fromPath(const QString& path);
// The local file an address names; nullopt for anything else.
std::optional<QString> toPath(const QUrl& url);

}
