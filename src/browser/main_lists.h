#pragma once
#include <QString>

class FileList;
class Form1;

// What the browser's helpers (the live folder, opening a start path) need
// of the main window: its lists.
class MainLists {
public:
    // The list of files, which the helpers relist and select in.
    FileList& fileList() const;
    // Opens folder in the directory list, which relists the files.
    void openFolder(const QString& folder) const;

private:
    friend class Form1;
    explicit MainLists(Form1& form) : form(form) {}

    Form1& form;
};
