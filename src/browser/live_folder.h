#pragma once
#include <QFileSystemWatcher>
#include <QObject>
#include <QTimer>

#include <memory>

class FileList;
class Form1;
class JobControl;

// Keeps the file list in step with its folder while other programs add,
// remove and rename files there: the folder is listed again off the
// window's thread, a burst of changes once, and the selection, the shown
// picture and the scrolled position stay.
class LiveFolder : public QObject {
public:
    explicit LiveFolder(Form1& form);

private:
    void follow();
    void changed();
    void relist();

    Form1& form;
    FileList& list;
    QFileSystemWatcher watcher;
    QTimer settle;
    std::shared_ptr<JobControl> listing;
    bool changedMeanwhile = false;
};
