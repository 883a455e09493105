#pragma once
class Form1;

// Registers the media windows with the main window, which unloads them when
// it closes.
void connectMedia(Form1& form);
