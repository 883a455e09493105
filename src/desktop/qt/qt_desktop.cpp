#include "desktop/qt/qt_desktop.h"

QtDesktop::QtDesktop() { installScreen(&screen); }

QtDesktop::~QtDesktop() { installScreen(nullptr); }
