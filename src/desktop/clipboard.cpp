#include "desktop/clipboard.h"

#include "core/failure.h"

#include <QClipboard>
#include <QGuiApplication>

namespace {
QClipboard& board()
{
    QClipboard* c = QGuiApplication::instance() ? QGuiApplication::clipboard() : nullptr;
    if (!c)
        Errors::raise(Errors::clipboardBusy());
    return *c;
}
}

namespace Clipboard {

void clear() { board().clear(); }

void setImage(const QImage& picture)
{
    if (picture.isNull())
        Errors::raise(Errors::invalidPicture());
    board().setImage(picture);
}

QImage image() { return board().image(); }

void setText(const QString& text) { board().setText(text); }

QString text() { return board().text(); }

}
