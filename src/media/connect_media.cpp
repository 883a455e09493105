#include "media/connect_media.h"

#include "media/form5.h"
#include "startup/secondary_windows.h"

void connectMedia(Form1&)
{
    registerSecondaryWindow(SecondaryWindow::Form5, {{}, [] { Form5::unload(); }});
}
