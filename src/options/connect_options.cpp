#include "options/connect_options.h"

#include "startup/form1.h"

#include <QAction>

void connectOptions(Form1& form)
{
    QObject::connect(form.options, &QAction::triggered, &form, &Form1::options_Click);
}
