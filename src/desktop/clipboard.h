#pragma once
#include <QImage>
#include <QString>

// The desktop's clipboard, the only way the program reaches it.
namespace Clipboard {
void clear();
// Throws PxError for a null picture: there is nothing to put.
void setImage(const QImage& picture);
// The picture on the clipboard; a null image when it holds none.
QImage image();
void setText(const QString& text);
QString text();
}
