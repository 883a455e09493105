#pragma once
#include <QListWidget>

// The directory list: the current folder with the folders above it and the
// folders inside it. Opening an entry (double-click or Enter) makes it the
// current folder.
class DirList : public QListWidget {
    Q_OBJECT
public:
    explicit DirList(QWidget* parent = nullptr);

    QString path() const { return current; }
    // Throws PxError when the folder does not exist or cannot be read.
    // Raises changed() when the path differs.
    void setPath(const QString& folder);

signals:
    void changed();
    void mouseDown(Qt::MouseButton button);

protected:
    void mousePressEvent(QMouseEvent* event) override;

private:
    void fill();
    void open(QListWidgetItem* item);
    QString current;
};
