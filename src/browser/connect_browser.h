#pragma once
class Form1;

// Connects the browser's handlers to the main window's lists, zoom options,
// Autoskip, status bar and picture area.
void connectBrowser(Form1& form);
