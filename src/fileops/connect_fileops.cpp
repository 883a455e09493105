#include "fileops/connect_fileops.h"

#include "core/program_info.h"
#include "desktop/desktop.h"
#include "startup/form1.h"

#include <QAction>
#include <QPushButton>

void connectFileCommands(Form1& form)
{
    Form1* f = &form;
    QObject::connect(f->Command2, &QPushButton::clicked, f, &Form1::Command2_Click);
    QObject::connect(f->Command7, &QPushButton::clicked, f, &Form1::Command7_Click);
    QObject::connect(f->Command6, &QPushButton::clicked, f, &Form1::Command6_Click);
    QObject::connect(f->Command3, &QPushButton::clicked, f, &Form1::Command3_Click);
    QObject::connect(f->saveas, &QAction::triggered, f, &Form1::saveas_Click);
    QObject::connect(f->mnudelete, &QAction::triggered, f, &Form1::mnudelete_Click);
    QObject::connect(f->mnurename, &QAction::triggered, f, &Form1::mnurename_Click);
    QObject::connect(f->mnupattern, &QAction::triggered, f, &Form1::mnupattern_Click);
    QObject::connect(f->mnurenamedir, &QAction::triggered, f, &Form1::mnurenamedir_Click);
    QObject::connect(f->mnusub, &QAction::triggered, f, &Form1::mnusub_Click);
    QObject::connect(f->mnusession, &QAction::triggered, f, &Form1::mnusession_Click);
    QObject::connect(f->mnudefault, &QAction::triggered, f, &Form1::mnudefault_Click);
    QObject::connect(f->mnustartup, &QAction::triggered, f, &Form1::mnustartup_Click);
    QObject::connect(f->mnuhelp, &QAction::triggered, f,
                     [f] { f->desktop().help->showTopic(ProgramInfo::helpFile(), 14); });
}
