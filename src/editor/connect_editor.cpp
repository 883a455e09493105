#include "editor/connect_editor.h"

#include "desktop/keep_on_top.h"
#include "editor/form6.h"
#include "startup/form1.h"
#include "startup/secondary_windows.h"

#include <QAction>

void connectEditor(Form1& main)
{
    QObject::connect(main.textfile, &QAction::triggered, &main, &Form1::textfile_Click);
    SecondaryWindows& windows = main.secondaryWindows();
    windows.add(SecondaryWindow::Form6,
                {[&windows](bool on) { setKeepOnTop(Form6::instance(windows), on); },
                 [&windows] { windows.editor.unload(); },
                 [&windows](bool minimized) { setMinimized(Form6::instance(windows), minimized); }});
}
