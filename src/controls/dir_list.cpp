#include "controls/dir_list.h"

#include "core/failure.h"

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
    DIR* dir = ::opendir(QFile::encodeName(cleaned).constData());
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
    QStringList chain;
    for (QDir d(current);; ) {
        chain.prepend(d.absolutePath());
        if (!d.cdUp())
            break;
    }
    int depth = 0;
    for (const QString& p : chain) {
        const QString name = p == QLatin1String("/") ? p : QDir(p).dirName();
        auto* item = new QListWidgetItem(folderIcon, QString(depth * 2, QLatin1Char(' ')) + name, this);
        item->setData(Qt::UserRole, p);
        ++depth;
    }
    setCurrentRow(count() - 1);
    const QStringList children = QDir(current).entryList(
        QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name | QDir::IgnoreCase);
    for (const QString& child : children) {
        auto* item = new QListWidgetItem(folderIcon, QString(depth * 2, QLatin1Char(' ')) + child, this);
        item->setData(Qt::UserRole, QDir(current).filePath(child));
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
