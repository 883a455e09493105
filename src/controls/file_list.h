#pragma once
#include <QListView>
#include <QStringList>

class QStringListModel;

// The file list: the plain files of a folder that match a pattern. Every
// change of the selection, by the user or by code, raises clicked().
class FileList : public QListView {
    Q_OBJECT
public:
    explicit FileList(QWidget* parent = nullptr);

    QString path() const { return folder; }
    // All three re-read the folder, once. Throw PxError for an unreadable
    // folder or a refused pattern (the list keeps its old state then).
    void setPath(const QString& folder);
    void setPattern(const QString& pattern);
    void setPathAndPattern(const QString& folder, const QString& pattern);
    // A listing of folder made elsewhere (off the window's thread), shown as
    // setPathAndPattern would show it.
    void showListing(const QString& folder, const QString& pattern, const QStringList& list);
    QString pattern() const { return patternText; }
    void refresh();
    // The folder's files as another look found them: the selected file stays
    // selected without a new click, and the list stays where it was scrolled.
    void showRelisted(const QStringList& list);

    int listCount() const { return int(names.size()); }
    int listIndex() const;
    void setListIndex(int index);
    QString fileName() const; // the selected name, empty when none
    QString item(int index) const { return names.value(index); }

signals:
    void clicked();
    void mouseDown(Qt::MouseButton button);
    void keyDown(int key, Qt::KeyboardModifiers modifiers);
    // The folder was read again; nothing is selected.
    void relisted();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void display(const QStringList& list);
    QStringListModel* listModel;
    QString folder;
    QString patternText = QStringLiteral("*.*");
    QStringList names;
    bool keepingSelection = false;
};
