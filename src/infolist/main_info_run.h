#pragma once
#include <QString>

class FileList;
class Form1;

// What an info list run needs of the main window.
class MainInfoRun {
public:
    // The hidden list the run lists the folder into.
    FileList& workingList() const;
    // What status panel 1 says of the file kind (" Pictures ").
    QString fileTypePanel() const;
    // The window as before the run: the picture shown, the window enabled
    // and Autoskip ticking again.
    void resume() const;

private:
    friend class Form1;
    explicit MainInfoRun(Form1& form) : form(form) {}

    Form1& form;
};
