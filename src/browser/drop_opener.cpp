#include "browser/drop_opener.h"

#include "browser/open_start_path.h"
#include "core/file_url.h"
#include "startup/form1.h"

#include <QDropEvent>
#include <QMimeData>

namespace {
std::optional<QString> droppedPath(const QDropEvent& event, const Form1& form)
{
    const QObject* source = event.source();
    if (source && (source == &form || form.isAncestorOf(qobject_cast<const QWidget*>(source))))
        return std::nullopt;
    const QList<QUrl> urls = event.mimeData()->urls();
    return urls.isEmpty() ? std::nullopt : FileUrl::toPath(urls.first());
}
}

DropOpener::DropOpener(Form1& form) : QObject(&form), form(form)
{
    form.setAcceptDrops(true);
    form.installEventFilter(this);
}

bool DropOpener::eventFilter(QObject* watched, QEvent* event)
{
    if (watched != &form)
        return false;
    switch (event->type()) {
    case QEvent::DragEnter:
    case QEvent::DragMove: {
        auto* drag = static_cast<QDropEvent*>(event);
        if (droppedPath(*drag, form)) {
            drag->setDropAction(Qt::CopyAction);
            drag->accept();
        } else {
            drag->ignore();
        }
        return true;
    }
    case QEvent::Drop: {
        auto* drop = static_cast<QDropEvent*>(event);
        const std::optional<QString> path = droppedPath(*drop, form);
        if (!path)
            return false;
        drop->setDropAction(Qt::CopyAction);
        drop->accept();
        openStartPath(form, *path);
        return true;
    }
    default:
        return false;
    }
}
