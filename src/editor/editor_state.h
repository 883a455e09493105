#pragma once
#include <QString>

// The text editor's document-type field, read by the main window's file
// menu: empty while no editor window is open.
QString editorDocumentType();
