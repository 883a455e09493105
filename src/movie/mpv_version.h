#pragma once
#include <QObject>
#include <QString>

#include <functional>

// Calls known on the receiver's thread with the version of the libmpv client
// interface the program runs with, as "major.minor", once the library is
// loaded; with "not available" when it cannot be.
void whenMpvVersionKnown(QObject* receiver, std::function<void(const QString&)> known);
