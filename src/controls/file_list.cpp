#include "controls/file_list.h"

#include "core/file_system.h"
#include "core/file_url.h"
#include "core/paths.h"

#include <QKeyEvent>
#include <QMimeData>
#include <QMouseEvent>
#include <QScrollBar>
#include <QStringListModel>

namespace {
// Dragged out of the list, a file is its address: other programs copy it or
// open it. Only copying is offered, so that no drop elsewhere takes the file
// away from its folder.
class FileListModel : public QStringListModel {
public:
    explicit FileListModel(FileList* list) : QStringListModel(list), list(list) {}

    Qt::ItemFlags flags(const QModelIndex& index) const override
    {
        return index.isValid() ? Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsDragEnabled : Qt::NoItemFlags;
    }
    QStringList mimeTypes() const override { return {QStringLiteral("text/uri-list")}; }
    Qt::DropActions supportedDragActions() const override { return Qt::CopyAction; }
    QMimeData* mimeData(const QModelIndexList& indexes) const override
    {
        QList<QUrl> urls;
        for (const QModelIndex& index : indexes)
            urls.append(FileUrl::fromPath(fullPath(list->path(), list->item(index.row()))));
        auto* data = new QMimeData;
        data->setUrls(urls);
        return data;
    }

private:
    FileList* list;
};
}

FileList::FileList(QWidget* parent) : QListView(parent), listModel(new FileListModel(this))
{
    setDragDropMode(QAbstractItemView::DragOnly);
    setDefaultDropAction(Qt::CopyAction);
    setModel(listModel);
    setUniformItemSizes(true);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSelectionMode(QAbstractItemView::SingleSelection);
    connect(selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this](const QModelIndex& now) {
                if (now.isValid() && !keepingSelection)
                    emit clicked();
            });
}

void FileList::setPath(const QString& f) { setPathAndPattern(f, patternText); }

void FileList::setPattern(const QString& p)
{
    if (!folder.isEmpty()) {
        setPathAndPattern(folder, p);
        return;
    }
    FileSystem::listMatching(QStringLiteral("/"), p); // validates the pattern
    patternText = p;
}

void FileList::setPathAndPattern(const QString& f, const QString& p) { showListing(f, p, FileSystem::listMatching(f, p)); }

void FileList::showListing(const QString& f, const QString& p, const QStringList& list)
{
    folder = f;
    patternText = p;
    display(list);
}

void FileList::refresh() { display(FileSystem::listMatching(folder, patternText)); }

void FileList::display(const QStringList& list)
{
    names = list;
    const QSignalBlocker quiet(selectionModel());
    listModel->setStringList(names);
    setCurrentIndex(QModelIndex());
    emit relisted();
}

void FileList::showRelisted(const QStringList& list)
{
    if (list == names)
        return;
    const QString selected = fileName();
    const int scrolled = verticalScrollBar()->value();
    names = list;
    keepingSelection = true;
    listModel->setStringList(names);
    const qsizetype row = selected.isEmpty() ? -1 : names.indexOf(selected);
    setCurrentIndex(row >= 0 ? listModel->index(int(row)) : QModelIndex());
    keepingSelection = false;
    verticalScrollBar()->setValue(scrolled);
}

int FileList::listIndex() const
{
    // The current item is the selection: a click makes an item current
    // before the selection model has caught up.
    const QModelIndex i = currentIndex();
    return i.isValid() ? i.row() : -1;
}

void FileList::setListIndex(int index)
{
    if (index < 0 || index >= names.size()) {
        const QSignalBlocker quiet(selectionModel());
        setCurrentIndex(QModelIndex());
        return;
    }
    const QModelIndex target = listModel->index(index);
    if (target == currentIndex()) {
        emit clicked();
        return;
    }
    setCurrentIndex(target);
}

QString FileList::fileName() const
{
    const int i = listIndex();
    return i >= 0 ? names.at(i) : QString();
}

void FileList::mousePressEvent(QMouseEvent* event)
{
    emit mouseDown(event->button());
    // A right-click opens the menu for the file selected before.
    if (event->button() != Qt::RightButton)
        QListView::mousePressEvent(event);
}

void FileList::keyPressEvent(QKeyEvent* event)
{
    emit keyDown(event->key(), event->modifiers());
    QListView::keyPressEvent(event);
}
