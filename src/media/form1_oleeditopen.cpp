#include "startup/form1.h"

#include "desktop/desktop.h"

void Form1::oleeditopen_Click()
{
    // Nothing is shown yet: there is nothing to hand over.
    if (Label1.isEmpty())
        return;
    ignoreFailure([this] { desktop().launcher->openWithDesktop(Label1); });
}
