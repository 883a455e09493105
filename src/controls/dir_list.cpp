#include "controls/dir_list.h"

#include "core/failure.h"
#include "core/file_name.h"
#include "core/file_system.h"
#include "core/paths.h"

#include <QDir>
#include <QFileIconProvider>
#include <QMouseEvent>
#include <cerrno>
#include <dirent.h>

DirList::DirList(QWidget* parent) : QListWidget(parent)
{
    connect(this, &QListWidget::itemActivated, this, &DirList::open);
}

void DirList::setPath(const QString& folder)
{
    const QString cleaned = QDir::cleanPath(folder);
    if (folder.isEmpty())
        Errors::raise(Errors::invalidPath());
    DIR* dir = ::opendir(FileName::toBytes(cleaned).constData());
    if (!dir)
        Errors::throwErrno(errno);
    ::closedir(dir);
    const bool differs = cleaned != current;
    current = cleaned;
    fill();
    if (differs)
        emit changed();
}

void DirList::fill()
{
    clear();
    QFileIconProvider icons;
    const QIcon folderIcon = icons.icon(QFileIconProvider::Folder);
    // The chain of parents is worked out on the path's text, so that a
    // folder whose name is not valid UTF-8 is still reached by its bytes.
    QStringList chain;
    for (QString p = QDir(current).absolutePath();;) {
        chain.prepend(p);
        if (p == QLatin1String("/"))
            break;
        p = folderOf(p);
    }
    int depth = 0;
    for (const QString& p : chain) {
        auto* item = new QListWidgetItem(folderIcon, QString(depth * 2, QLatin1Char(' ')) + nameOf(p), this);
        item->setData(Qt::UserRole, p);
        ++depth;
    }
    setCurrentRow(count() - 1);
    QStringList children;
    try {
        children = FileSystem::listFolders(current);
    } catch (const PxError&) {
        // A folder that can no longer be read shows no children.
    }
    for (const QString& child : children) {
        auto* item = new QListWidgetItem(folderIcon, QString(depth * 2, QLatin1Char(' ')) + child, this);
        item->setData(Qt::UserRole, fullPath(current, child));
    }
}

void DirList::open(QListWidgetItem* item)
{
    try {
        setPath(item->data(Qt::UserRole).toString());
    } catch (const PxError&) {
        // A folder that vanished or cannot be read is simply not opened.
        fill();
    }
}

void DirList::mousePressEvent(QMouseEvent* event)
{
    emit mouseDown(event->button());
    if (event->button() != Qt::RightButton)
        QListWidget::mousePressEvent(event);
}
