#include "media/connect_media.h"

#include "media/form5.h"
#include "startup/secondary_windows.h"

void connectMedia(Form1& main)
{
    Form5::setMainWindow(&main);
    registerSecondaryWindow(SecondaryWindow::Form5, {{}, [] { Form5::unload(); }});
}
