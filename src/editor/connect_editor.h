#pragma once
class Form1;

// Connects the main window's "Open text editor" command and registers the
// editor with the main window, which switches it on top and unloads it.
void connectEditor(Form1& main);
