#pragma once
#include <QString>

class FileList;
class Form1;

// What the file commands and their windows (File Information, the DIR
// browser) need of the main window.
class MainFiles {
public:
    // The list the commands act on: its selection, refresh and position.
    FileList& fileList() const;
    // The folder the file list shows.
    QString listFolder() const;
    // Nothing may still be loading or playing the shown file once it goes.
    void releaseShownFile() const;
    // Makes folder the copy directory of this run, shown in status panel 3;
    // nothing is stored.
    void useAsCopyDirectory(const QString& folder) const;

private:
    friend class Form1;
    explicit MainFiles(Form1& form) : form(form) {}

    Form1& form;
};
