#include "app/main_window.h"

#include "browser/connect_browser.h"
#include "editor/connect_editor.h"
#include "fileops/connect_fileops.h"
#include "infolist/connect_infolist.h"
#include "media/connect_media.h"
#include "options/connect_options.h"

MainWindow::MainWindow(const Desktop& desktop) : Form1(desktop)
{
    connectBrowser(*this);
    connectFileCommands(*this);
    connectMedia(*this);
    connectOptions(*this);
    connectEditor(*this);
    connectInfoList(*this);
}
