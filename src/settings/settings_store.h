#pragma once
#include <QString>

// The per-user settings of application "Orvenko Soft", section "Pixalto".
// Key names match without regard to letter case: a read finds any spelling,
// a write replaces every spelling. A missing key reads as the empty text.
QString readSetting(const QString& key);
void writeSetting(const QString& key, const QString& value);
// Flag readers: the text "1", or a number equal to 1 ("1.0" counts).
bool settingIsOne(const QString& key);
bool settingIsNumericOne(const QString& key);
