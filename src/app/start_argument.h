#pragma once
#include <QByteArrayView>
#include <QString>

// The path the command line names, from its bytes: a file manager may hand
// over a file:// URL instead of a path.
QString startArgumentPath(QByteArrayView argument);
