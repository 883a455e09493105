#include "platform/qt_platform.h"

#include "platform/platform.h"

QtPlatform::QtPlatform() { installPlatform({&dialogs, &help, &launcher, &screen}); }

QtPlatform::~QtPlatform() { installPlatform({}); }
