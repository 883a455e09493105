#include "desktop/desktop.h"

namespace {
Desktop& current()
{
    static Desktop d;
    return d;
}
}

Desktop& desktop() { return current(); }

void installDesktop(const Desktop& d)
{
    current() = d;
    installScreen(d.screen);
}
