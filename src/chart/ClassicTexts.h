#pragma once
// The classic texts of a hexagram as the string table holds them, and the section that quotes
// them at the end of both reports. n is the hexagram number 1..64 in palace order.
//
// A hexagram text reads: judgement "t" 彖 "x" 大象; a line text: line "x" 小象.
#include <array>
#include <string>
#include <string_view>

namespace qingheng {

constexpr int HexagramTextId(int n) { return 93 + 7 * n; }
// Line 1 (bottom) to 6 (top).
constexpr int LineTextId(int n, int line) { return HexagramTextId(n) + line; }
constexpr int CoinLessonId(int n) { return 1400 + n; }
constexpr int ExplanationId(int n) { return 1500 + n; }
constexpr int VernacularId(int n) { return 1599 + n; }
constexpr int TuanNotesId(int n) { return 1699 + n; }
constexpr int XiangNotesId(int n) { return 1799 + n; }
// 用九 of 乾为天 and 用六 of 坤为地, in the line form.
inline constexpr int kQianExtraId = 51;
inline constexpr int kKunExtraId = 52;

struct HexagramTextParts {
    std::string_view judgement;
    std::string_view tuan;
    std::string_view xiang;
};

struct LineTextParts {
    std::string_view text;
    std::string_view xiang;
};

// The judgement ends at the first "t" and the 彖 at the first "x" after it. A missing marker
// leaves what it would introduce empty (without "t" the 大象 still starts at an "x").
HexagramTextParts SplitHexagramText(std::string_view text);
// The line text ends at the first "x"; without one the 小象 is empty.
LineTextParts SplitLineText(std::string_view text);

// "初九" … "上六": the position first for lines 1 and 6, the number first for lines 2 to 5.
std::string LineName(int position, bool yang);

// Everything the classic section quotes for one hexagram.
struct ClassicTexts {
    std::string name;                  // trimmed
    std::string hexagram;              // judgement t 彖 x 大象
    std::array<std::string, 6> lines;  // line 1 first: text x 小象
    std::string vernacular;
    std::string tuanNotes;
    std::string xiangNotes;
    std::string coinLesson;
};

// The texts of hexagram n from the string table; a missing string is empty.
ClassicTexts LoadClassicTexts(int n);

// The section appended to both reports, for a main hexagram cast as code (six LineCode
// characters, top line first; a moving line is named by its polarity).
std::string ClassicSection(const ClassicTexts& texts, std::string_view code);

}  // namespace qingheng
