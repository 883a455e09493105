#include "editor/editor_state.h"

QString editorDocumentType()
{
    // No editor window exists in this build, so no document is open in it.
    return {};
}
