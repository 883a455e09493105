#pragma once
#include <QString>

#include <array>
#include <optional>
#include <unordered_map>
#include <vector>

// The list table of a rich-text file and the numbering of its paragraphs.
// Word builds every paragraph's label from this table; the \listtext a
// writer stores beside it is for readers that know no lists.
class RtfLists {
public:
    static constexpr int maxLevels = 9;
    // Word counts no further.
    static constexpr int largestNumber = 32767;
    // Longer labels are damage, and would cost memory with every paragraph.
    static constexpr qsizetype longestLabel = 255;

    struct Level {
        // \levelnfc.
        int format = 0;
        int startAt = 1;
        // \leveltext: its first character is its length, and characters
        // below 9 stand for the number of that level.
        QString text;
        // \levelfollow: 0 a tab, 1 a space, 2 nothing.
        int follow = 0;
        int font = -1;
    };

    struct Label {
        QString text;
        // The level's font, -1 for the paragraph's.
        int font = -1;
    };

    // Reading the tables: each call changes the list, level or override
    // last added.
    void addList();
    void setListId(int id);
    void addLevel();
    Level* lastLevel();
    void addOverride();
    void setOverrideListId(int id);
    void setOverrideNumber(int ls);
    void addOverrideLevel();
    void setOverrideStart(int startAt);

    // The label of the next paragraph of override ls at level, counted;
    // none when the file defines no such list or level.
    std::optional<Label> label(int ls, int level);

private:
    struct List {
        int id = 0;
        std::vector<Level> levels;
    };
    struct Override {
        int listId = 0;
        // Starts the override sets, -1 for the list's own; each restarts
        // the count at the override's first paragraph of that level.
        std::array<int, maxLevels> startAt;
        std::array<bool, maxLevels> restarted{};
        int lastLevel = -1;
        Override() { startAt.fill(-1); }
    };
    // A list's counts, shared by the overrides of the list.
    struct Counts {
        std::array<int, maxLevels> value{};
        std::array<bool, maxLevels> started{};
    };

    std::vector<List> lists;
    std::vector<Override> overrides;
    std::unordered_map<int, size_t> listById;
    std::unordered_map<int, size_t> overrideByNumber;
    std::unordered_map<int, Counts> counts;
};

// A number as a list level of format nfc shows it: "", "12", "xii", "l"...
QString listNumber(int value, int nfc);
