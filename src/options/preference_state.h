#pragma once
#include <QString>
#include <Qt>
#include <optional>

// The eight yes/no preferences are stored as the text of a check box state:
// "0" clear, "1" ticked, "2" greyed. A stored text is taken as the whole
// number it converts to ("1.0" is ticked); any other text has no state.
std::optional<Qt::CheckState> checkStateFromSetting(const QString& text);
QString settingFromCheckState(Qt::CheckState state);
