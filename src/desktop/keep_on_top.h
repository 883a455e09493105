#pragma once
class QWidget;

// Keeps a window above all others, or makes it an ordinary window again.
// On a hidden window it takes effect when the window is shown.
void setKeepOnTop(QWidget* window, bool on);
