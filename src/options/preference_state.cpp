#include "options/preference_state.h"

#include "settings/settings_store.h"

#include <cmath>

std::optional<Qt::CheckState> checkStateFromSetting(const QString& text)
{
    const std::optional<double> number = numberFromSetting(text);
    if (!number)
        return std::nullopt;
    // Rounded as a conversion to a whole number rounds: half to even.
    const double whole = std::nearbyint(*number);
    if (whole == 0)
        return Qt::Unchecked;
    if (whole == 1)
        return Qt::Checked;
    if (whole == 2)
        return Qt::PartiallyChecked;
    return std::nullopt;
}

QString settingFromCheckState(Qt::CheckState state)
{
    switch (state) {
    case Qt::Checked: return QStringLiteral("1");
    case Qt::PartiallyChecked: return QStringLiteral("2");
    default: return QStringLiteral("0");
    }
}
