#pragma once
#include <QString>
#include <optional>

// The per-user settings of application "Orvenko Soft", section "Pixalto", in
// the INI file "Orvenko Soft/Pixalto.ini" of the user's configuration folder.
// Key names match without regard to letter case: a read finds any spelling,
// a write replaces every spelling. A missing key reads as the empty text.
//
// A damaged file is read as far as it can be; before the first write
// replaces it, a copy of it is kept beside it as "Pixalto.ini.bad-<date>-<time>".
// Writes are atomic and serialised between running copies of the program;
// the temporary file of a write that was killed goes with the next write.
// A file that cannot be read is never written.
QString readSetting(const QString& key);
void writeSetting(const QString& key, const QString& value);
// Flag readers: the text "1", or a number equal to 1 ("1.0" counts).
bool settingIsOne(const QString& key);
bool settingIsNumericOne(const QString& key);
// A stored text as the number it holds, blanks around it allowed; nullopt
// when it holds none.
std::optional<double> numberFromSetting(const QString& text);
// The folder of the settings file; the tray companion's lock lives there too.
QString settingsFolder();
// Why the settings cannot be read or kept, as a sentence naming the file or
// folder and the reason; empty when they can.
QString settingsProblem();
