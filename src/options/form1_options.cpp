#include "startup/form1.h"

#include "options/form14.h"

void Form1::options_Click() { Form14::showModal(this, secondary); }
