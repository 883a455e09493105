#include "infolist/connect_infolist.h"

#include "startup/form1.h"

#include <QAction>

void connectInfoList(Form1& form)
{
    QObject::connect(form.mnuinfolist, &QAction::triggered, &form, &Form1::mnuinfolist_Click);
}
