#pragma once
#include "startup/form1.h"

// The main window with the handlers of every subsystem connected: what the
// program shows and the tests drive.
class MainWindow : public Form1 {
public:
    explicit MainWindow(const Desktop& desktop);
};
