#pragma once
#include <QString>

class SecondaryWindows;

// The text editor's document type (its Label3), read by the main window's
// file menu: empty while no editor window is loaded.
QString editorDocumentType(const SecondaryWindows& windows);
