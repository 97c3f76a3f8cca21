#pragma once
// Casting by a known hexagram: by its name in the 8 x 9 grid of the name dialog, by an upper
// and a lower trigram (the other dialog), or by six coin results. Codes are top line first.
#include <array>
#include <optional>
#include <string>
#include <string_view>

#include "casting/Casting.h"

namespace qingheng {

// Ticked moving-line boxes: index k stands for line k + 1 counted from the bottom.
using MovingLines = std::array<bool, 6>;

// Sets every ticked line of the code moving; the changed code follows.
void ApplyMovingLines(std::string& mainCode, std::string& changedCode, const MovingLines& moving);

// The name grid: 8 columns (palaces) by 9 rows. Row 0 reads "  乾宫"; rows 1 to 8 hold the
// eight 8-byte names of the column's palace.
inline constexpr int kNameGridColumns = 8;
inline constexpr int kNameGridRows = 9;
std::string NameGridCell(int column, int row);

// The main code of a grid cell's text in its row: a pure hexagram (row 1) reads its last
// character twice, every other row its first two characters, each an image of a trigram.
// nullopt when the text does not name a hexagram this way (the heading row).
std::optional<std::string> CodeOfNameCell(std::string_view cellText, int row);

// Name casting (method 2) of a grid cell with the ticked moving lines; nullopt for a heading.
std::optional<CastResult> CastByNameCell(std::string_view cellText, int row, const MovingLines& moving);

// Column and row of a hexagram name (blanks around it ignored); nullopt for an unknown name.
std::optional<std::pair<int, int>> FindNameCell(std::string_view name);

// Trigram list entries of the other dialog: "乾一" … "坤八".
inline constexpr std::array<std::string_view, 8> kTrigramEntries = {"乾一", "兑二", "离三", "震四",
                                                                    "巽五", "坎六", "艮七", "坤八"};

// Trigram of a text: its entry ("乾一"), its name ("乾"), its image ("天") or its Early
// Heaven number 1-8; nullopt otherwise.
std::optional<Trigram> ParseTrigram(std::string_view text);

// The cast of an upper and a lower trigram with the ticked moving lines (other casting).
CastResult CastByTrigrams(Trigram upper, Trigram lower, const MovingLines& moving, CastingMethod method);

// The coin radio items: 0 "一个背", 1 "两个背", 2 "三个背", 3 "三个面".
inline constexpr std::array<std::string_view, 4> kCoinItems = {"一个背", "两个背", "三个背", "三个面"};

// Coin casting (method 0) from the item chosen for each line, top line first.
CastResult CastFromCoinItems(const std::array<int, 6>& itemsTopFirst);

}  // namespace qingheng
