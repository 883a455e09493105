#pragma once
#include <QComboBox>
#include <QHash>

// The drive list: the mounted volumes, each shown by its mount point. Each
// drive remembers the folder last shown on it, so choosing it again goes
// back there.
class DriveList : public QComboBox {
    Q_OBJECT
public:
    explicit DriveList(QWidget* parent = nullptr);

    QString drive() const { return current; }
    // Sets the drive holding this path (a drive itself or any path on it).
    // Throws PxError when no mounted drive holds it or the drive is not ready.
    // Raises changed() when the drive differs.
    void setDrive(const QString& path);
    QString currentDirectory(const QString& drive) const;
    // The directory list moved to folder: remembers it on its drive and
    // shows that drive, without raising changed().
    void followDirectory(const QString& folder);

signals:
    void changed();

private:
    void choose(int index);
    // The listed drive that holds path; empty when none does.
    QString driveHolding(const QString& path) const;
    QString current;
    QHash<QString, QString> lastFolder;
};

class DirList;

// A drive chosen in drives opens folders on the folder last shown on it; a
// drive that is not ready puts drives back on the drive of folders, silently.
void openChosenDrive(DriveList& drives, DirList& folders);
