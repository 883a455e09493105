#pragma once
class QWidget;

// Keeps a window above all others, or makes it an ordinary window again.
// On a hidden window it takes effect when the window is shown.
void setKeepOnTop(QWidget* window, bool on);

// Minimizes a window or makes it normal again, keeping its other states; a
// hidden window stays hidden.
void setMinimized(QWidget* window, bool minimized);
