#pragma once
#include <QString>
#include <Qt>
#include <optional>

// The eight yes/no preferences are stored as the text of a check box state:
// "0" clear, "1" ticked, "2" greyed. Any other text has no state.
std::optional<Qt::CheckState> checkStateFromSetting(const QString& text);
QString settingFromCheckState(Qt::CheckState state);
