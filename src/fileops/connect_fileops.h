#pragma once
class Form1;

// Connects the file commands to the main window's buttons and pop-up menus.
void connectFileCommands(Form1& form);
