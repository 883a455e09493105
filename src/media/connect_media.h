#pragma once
class Form1;

// Registers the media windows with the main window, which switches them on
// top and unloads them when it closes, and connects the commands that open
// the separate windows and hand the shown file to the desktop.
void connectMedia(Form1& form);
