#pragma once
// 诸葛神数: three Chinese characters draw one of 384 lots by their stroke counts; the
// lot's title, verse and explanation come from strings 1001-1384.
#include <array>
#include <optional>
#include <string>
#include <string_view>

namespace qingheng {

inline constexpr int kLotCount = 384;
inline constexpr int kLotTextBase = 1000;  // lot k is string 1000 + k

// Why an input draws no lot: the message box to show, and what happens to the input.
struct LotRefusal {
    enum class Kind { WrongLength, NotHanzi, NoStrokes, TableMissing };
    Kind kind;
    std::string text;
    std::string caption;
};

struct LotDraw {
    int lot = 0;       // 1-384 when drawn
    std::string memo;  // the text the result memo shows
    std::optional<LotRefusal> refusal;
};

// The lot of the last digits of three stroke counts: hundreds, tens and units of a number
// n (0 counts as 1), wrapped onto 1-384.
int LotOfStrokes(const std::array<int, 3>& strokes);

// The result memo of a lot for the input text: title, verse and explanation.
std::string LotMemo(std::string_view input, int lot);

// Draws the lot of a UTF-8 input of three Chinese characters, strokes from dat/hzlen.dat.
LotDraw DrawLot(std::string_view input);

}  // namespace qingheng
