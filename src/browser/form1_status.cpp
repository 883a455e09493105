#include "startup/form1.h"

#include "controls/status_bar.h"
#include "fileops/form10.h"
#include "fileops/form13.h"
#include "fileops/form7.h"

void Form1::StatusBar1_PanelClick(int panel)
{
    const QString key = StatusBar1->key(panel);
    if (key == QLatin1String("filetype"))
        Form13::showModal(this);
    else if (key == QLatin1String("file"))
        Form10::showModal(this);
    else if (key == QLatin1String("copydes"))
        Form7::showModal(this);
}
