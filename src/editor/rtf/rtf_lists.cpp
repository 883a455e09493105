#include "editor/rtf/rtf_lists.h"

#include <algorithm>

namespace {

constexpr int largestNumber = RtfLists::largestNumber;

int start(const RtfLists::Level& level)
{
    return std::clamp(level.startAt, 0, largestNumber);
}

QString roman(int value)
{
    static constexpr std::pair<int, const char*> digits[] = {{1000, "m"}, {900, "cm"}, {500, "d"}, {400, "cd"},
                                                             {100, "c"},  {90, "xc"},  {50, "l"},  {40, "xl"},
                                                             {10, "x"},   {9, "ix"},   {5, "v"},   {4, "iv"},
                                                             {1, "i"}};
    QString text;
    for (const auto& [step, digit] : digits)
        for (; value >= step; value -= step)
            text += QLatin1StringView(digit);
    return text;
}

QString ordinalSuffix(int value)
{
    if (value % 100 >= 11 && value % 100 <= 13)
        return QStringLiteral("th");
    switch (value % 10) {
    case 1:
        return QStringLiteral("st");
    case 2:
        return QStringLiteral("nd");
    case 3:
        return QStringLiteral("rd");
    default:
        return QStringLiteral("th");
    }
}

}

QString listNumber(int value, int nfc)
{
    const bool inWords = value >= 1 && value <= largestNumber;
    switch (nfc) {
    case 1:
    case 2:
        if (!inWords)
            break;
        return nfc == 1 ? roman(value).toUpper() : roman(value);
    case 3:
    case 4:
        // a..z, then aa..zz, then aaa..
        if (!inWords)
            break;
        return QString((value - 1) / 26 + 1, QChar((nfc == 3 ? u'A' : u'a') + (value - 1) % 26));
    case 5:
        return QString::number(value) + ordinalSuffix(value);
    case 22:
        return value >= 0 && value < 10 ? u'0' + QString::number(value) : QString::number(value);
    case 23:
    case 255:
        return {};
    default:
        break;
    }
    return QString::number(value);
}

void RtfLists::addList()
{
    lists.emplace_back();
}

void RtfLists::setListId(int id)
{
    if (lists.empty())
        return;
    lists.back().id = id;
    listById.try_emplace(id, lists.size() - 1);
}

void RtfLists::addLevel()
{
    if (!lists.empty() && lists.back().levels.size() < maxLevels)
        lists.back().levels.emplace_back();
}

RtfLists::Level* RtfLists::lastLevel()
{
    // The tenth and later levels of a damaged list change nothing.
    if (lists.empty() || lists.back().levels.empty())
        return nullptr;
    return &lists.back().levels.back();
}

void RtfLists::addOverride()
{
    overrides.emplace_back();
}

void RtfLists::setOverrideListId(int id)
{
    if (!overrides.empty())
        overrides.back().listId = id;
}

void RtfLists::setOverrideNumber(int ls)
{
    if (!overrides.empty())
        overrideByNumber.try_emplace(ls, overrides.size() - 1);
}

void RtfLists::addOverrideLevel()
{
    if (!overrides.empty())
        overrides.back().lastLevel = std::min(overrides.back().lastLevel + 1, maxLevels - 1);
}

void RtfLists::setOverrideStart(int startAt)
{
    // A start outside any \lfolevel is the first level's.
    if (!overrides.empty())
        overrides.back().startAt[std::max(overrides.back().lastLevel, 0)] = std::clamp(startAt, 0, largestNumber);
}

std::optional<RtfLists::Label> RtfLists::label(int ls, int level)
{
    const auto override = overrideByNumber.find(ls);
    if (override == overrideByNumber.end())
        return std::nullopt;
    Override& o = overrides[override->second];
    const auto list = listById.find(o.listId);
    if (list == listById.end())
        return std::nullopt;
    const std::vector<Level>& levels = lists[list->second].levels;
    if (level < 0 || level >= int(levels.size()))
        return std::nullopt;

    Counts& c = counts[o.listId];
    const auto at = size_t(level);
    const Level& shown = levels[at];
    if (o.startAt[at] >= 0 && !o.restarted[at]) {
        o.restarted[at] = true;
        c.value[at] = o.startAt[at];
    } else if (c.started[at]) {
        c.value[at] = std::min(c.value[at] + 1, largestNumber);
    } else {
        c.value[at] = start(shown);
    }
    c.started[at] = true;
    for (size_t deeper = at + 1; deeper < maxLevels; ++deeper)
        c.started[deeper] = false;

    Label label;
    label.font = shown.font;
    const qsizetype length = shown.text.isEmpty() ? 0 : shown.text[0].unicode();
    for (const QChar ch : QStringView(shown.text).mid(1, length)) {
        const int of = ch.unicode();
        if (of >= maxLevels) {
            label.text += ch;
        } else if (of < int(levels.size())) {
            const Level& numbered = levels[size_t(of)];
            label.text += listNumber(c.started[size_t(of)] ? c.value[size_t(of)] : start(numbered), numbered.format);
        }
        if (label.text.size() > longestLabel) {
            label.text.truncate(longestLabel);
            break;
        }
    }
    if (shown.follow == 0)
        label.text += u'\t';
    else if (shown.follow == 1)
        label.text += u' ';
    return label;
}
