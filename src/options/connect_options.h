#pragma once
class Form1;

// Connects the main window's "Options..." menu item to the Options window.
void connectOptions(Form1& form);
