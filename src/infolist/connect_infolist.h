#pragma once
class Form1;

// Connects the info list command to the directory list's settings menu.
void connectInfoList(Form1& form);
