#include "infolist/main_info_run.h"

#include "controls/image_view.h"
#include "controls/status_bar.h"
#include "startup/form1.h"

#include <QTimer>

MainInfoRun Form1::infoRun() { return MainInfoRun(*this); }

FileList& MainInfoRun::workingList() const { return *form.File2; }

QString MainInfoRun::fileTypePanel() const { return form.StatusBar1->text(1); }

void MainInfoRun::resume() const
{
    form.Image1->setVisible(true);
    form.setEnabled(true);
    form.Timer1->blockSignals(false);
}
