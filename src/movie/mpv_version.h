#pragma once
#include <QString>

// The version of the libmpv client interface the program runs with, as
// "major.minor".
QString mpvVersion();
