#include "editor/editor_state.h"

#include "editor/form6.h"

QString editorDocumentType(const SecondaryWindows& windows)
{
    const Form6* editor = Form6::existing(windows);
    return editor ? editor->Label3 : QString();
}
