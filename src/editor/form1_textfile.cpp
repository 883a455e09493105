#include "startup/form1.h"

#include "editor/form6.h"

void Form1::textfile_Click()
{
    // The text stays: an open editor's document becomes a new, unchanged one.
    Form6* editor = Form6::instance(secondaryWindows());
    editor->setNewState();
    ignoreFailure([editor] { editor->placeForOpening(); });
    ignoreFailure([editor] { editor->applyOnTop(); });
    editor->showAndFocus();
}
