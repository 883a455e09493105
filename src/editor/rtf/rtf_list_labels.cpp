#include "editor/rtf/rtf_reader.h"

#include <algorithm>

// The reader's lists: the list table, Word 6's paragraph numbering, and the
// label each paragraph of a list starts with.
namespace RtfRead {

bool Reader::listWord(QByteArrayView word, int p)
{
    if (state().destination == Destination::ListOverrideTable) {
        if (word == "listoverride")
            lists.addOverride();
        else if (word == "listid")
            lists.setOverrideListId(p);
        else if (word == "ls")
            lists.setOverrideNumber(p);
        else if (word == "lfolevel")
            lists.addOverrideLevel();
        else if (word == "levelstartat")
            lists.setOverrideStart(p);
        else
            return false;
        return true;
    }
    if (word == "list") {
        lists.addList();
    } else if (word == "listid") {
        lists.setListId(p);
    } else if (word == "listlevel") {
        lists.addLevel();
    } else if (RtfLists::Level* level = lists.lastLevel()) {
        if (word == "levelnfc" || word == "levelnfcn")
            level->format = p;
        else if (word == "levelstartat")
            level->startAt = p;
        else if (word == "levelfollow")
            level->follow = p;
        else if (word == "f")
            level->font = p;
        else
            return false;
    } else {
        return false;
    }
    return true;
}

bool Reader::numberingWord(QByteArrayView word, int p)
{
    // The formats as the list table numbers them.
    static constexpr std::pair<const char*, int> formats[] = {
        {"pndec", 0}, {"pnucrm", 1}, {"pnlcrm", 2}, {"pnucltr", 3}, {"pnlcltr", 4}, {"pnord", 5}, {"pnlvlblt", 23}};
    OldNumbering& n = state().numbering;
    for (const auto& [name, format] : formats)
        if (word == name) {
            // A bullet stays one whatever number format follows.
            if (n.format != 23)
                n.format = format;
            return true;
        }
    if (word == "pnlvlbody") {
        if (n.format < 0)
            n.format = 0;
    } else if (word.startsWith("pnlvl")) {
        n.outline = true;
    } else if (word == "pnstart") {
        n.startAt = p;
    } else if (word == "pnf") {
        n.font = p;
    } else {
        return false;
    }
    return true;
}

QString* Reader::labelText()
{
    switch (state().destination) {
    case Destination::ListText:
        return &storedLabel;
    case Destination::NumberBefore:
        return &state().numbering.before;
    case Destination::NumberAfter:
        return &state().numbering.after;
    default:
        return nullptr;
    }
}

void Reader::putLabel()
{
    out->labelDue = false;
    GroupState& s = state();
    const OldNumbering& old = s.numbering;
    const bool oldStyle = s.list == 0 && old.format >= 0 && !old.outline;
    oldNumber = !oldStyle ? 0 : oldNumber > 0 ? oldNumber + 1 : std::clamp(old.startAt, 1, RtfLists::largestNumber);
    std::optional<RtfLists::Label> label;
    if (s.list != 0)
        label = lists.label(s.list, s.listLevel);
    else if (oldStyle)
        label = RtfLists::Label{
            (old.before + listNumber(oldNumber, old.format) + old.after).left(RtfLists::longestLabel) + u'\t', old.font};
    // The label stored is shown in the paragraph's font, whatever font it
    // was stored in; a level without a font of its own shows Word's bullet
    // all the same.
    const int paragraphFont = s.chars.font;
    const bool symbolFont = label ? label->font < 0 || isSymbolFont(label->font) : isSymbolFont(paragraphFont);
    QString text = label ? label->text : storedLabel;
    storedLabel.clear();
    if (text.isEmpty())
        return;
    for (QChar& c : text)
        c = glyph(c.unicode(), symbolFont);
    if (label && label->font >= 0)
        s.chars.font = label->font;
    addText(text);
    s.chars.font = paragraphFont;
}

void Reader::endLevelText()
{
    decoder.append(levelText, levelBytes, codePage());
    levelBytes.clear();
    if (levelText.endsWith(u';'))
        levelText.chop(1);
    if (RtfLists::Level* level = lists.lastLevel())
        level->text = levelText;
}
}
