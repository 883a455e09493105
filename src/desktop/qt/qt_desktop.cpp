#include "desktop/qt/qt_desktop.h"

#include "desktop/desktop.h"

QtDesktop::QtDesktop() { installDesktop({&dialogs, &help, &launcher, &screen}); }

QtDesktop::~QtDesktop() { installDesktop({}); }
