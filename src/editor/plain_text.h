#pragma once
#include <QByteArray>
#include <QString>

// Text as plain text holds it: without the marks that stand for pictures.
QString withoutPictures(QString text);
// A plain-text file's text: UTF-8 when it is valid UTF-8 (a byte-order mark
// dropped), else the bytes as Latin-1, so no file fails to open; line breaks
// of every convention become paragraph breaks.
QString decodePlainText(const QByteArray& bytes);
