#include "editor/editor_state.h"

#include "editor/form6.h"

QString editorDocumentType()
{
    const Form6* editor = Form6::existing();
    return editor ? editor->Label3 : QString();
}
