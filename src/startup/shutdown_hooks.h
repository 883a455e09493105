#pragma once
#include <functional>

// Secondary windows register how to unload themselves, so that closing the
// main window closes them without the main window knowing each of them.
void addShutdownHook(std::function<void()> hook);
void runShutdownHooks();
