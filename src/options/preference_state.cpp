#include "options/preference_state.h"

std::optional<Qt::CheckState> checkStateFromSetting(const QString& text)
{
    bool ok = false;
    const int value = text.toInt(&ok, 10);
    if (!ok)
        return std::nullopt;
    switch (value) {
    case 0: return Qt::Unchecked;
    case 1: return Qt::Checked;
    case 2: return Qt::PartiallyChecked;
    default: return std::nullopt;
    }
}

QString settingFromCheckState(Qt::CheckState state)
{
    switch (state) {
    case Qt::Checked: return QStringLiteral("1");
    case Qt::PartiallyChecked: return QStringLiteral("2");
    default: return QStringLiteral("0");
    }
}
