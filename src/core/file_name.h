#pragma once
#include <QByteArray>
#include <QByteArrayView>
#include <QString>

// File names on Linux are bytes, not text. A name that is not valid UTF-8
// keeps each stray byte as the lone surrogate U+DC80 + byte, so a name read
// from a folder, shown, edited and handed back reaches the same file.
namespace FileName {

QString fromBytes(QByteArrayView bytes);
QByteArray toBytes(const QString& name);

}
