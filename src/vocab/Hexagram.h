#pragma once
// Trigrams, hexagrams, the eight palaces and the stems and branches of lines (纳甲).
// Codes are written top line first: a hexagram code's first character is line 6 and its
// last character line 1. Line arrays (index 0 = line 1) hold bottom-first values.
#include <array>
#include <string>
#include <string_view>

#include "vocab/Signs.h"

namespace qingheng {

using Trigram = int;  // 乾 0, 兑 1, 离 2, 震 3, 巽 4, 坎 5, 艮 6, 坤 7 (palace order)
inline constexpr Trigram kNoTrigram = 8;

// LineCode characters.
inline constexpr char kYoungYang = '1', kYoungYin = '2', kOldYang = '3', kOldYin = '4';

inline constexpr std::array<std::string_view, 8> kTrigramNames = {"乾", "兑", "离", "震", "巽", "坎", "艮", "坤"};
// The natural image of each trigram, used in hexagram names.
inline constexpr std::array<std::string_view, 8> kTrigramImages = {"天", "泽", "火", "雷", "风", "水", "山", "地"};
inline constexpr std::array<Phase, 8> kTrigramPhase = {4, 4, 2, 1, 1, 0, 3, 3};

constexpr std::string_view TrigramName(Trigram t) { return kTrigramNames[t]; }
constexpr Phase PhaseOfTrigram(Trigram t) { return kTrigramPhase[t]; }

// A static line character: '3' → '1', '4' → '2'.
constexpr char StaticLine(char c) { return c == kOldYang ? kYoungYang : c == kOldYin ? kYoungYin : c; }
constexpr bool IsMovingLine(char c) { return c == kOldYang || c == kOldYin; }
constexpr bool IsYangLine(char c) { return c == kYoungYang || c == kOldYang; }

// True when the text is six LineCode characters.
bool IsHexagramCode(std::string_view code);

// The code with moving marks removed.
std::string StaticCode(std::string_view code);

// The changed hexagram: '3' becomes '2' and '4' becomes '1'.
std::string ChangedCode(std::string_view code);

// Three-character code of a trigram (top line first).
std::string TrigramCode(Trigram t);

// Trigram of three line characters (moving marks allowed); kNoTrigram when none matches.
Trigram TrigramOf(std::string_view code3);

struct PalacePlace {
    Trigram palace = 0;
    int rank = 1;        // 1 pure … 6 五世, 7 游魂, 8 归魂
    int worldIndex = 5;  // 0 = line 1
    int responseIndex = 2;
    std::array<char, 7> staticCode{};  // the code without moving marks, zero-terminated
};

// Palace, rank and world/response lines of a six-character code (moving marks allowed).
PalacePlace LocatePalace(std::string_view code);

// The static code of rank (1..8) in palace p.
std::string PalaceMemberCode(Trigram palace, int rank);

// Hexagram number 1..64 in palace order.
constexpr int HexagramNumber(Trigram palace, int rank) { return palace * 8 + rank; }

// Name of hexagram n (1..64) as the 8-byte table entry, and trimmed.
std::string_view HexagramTableName(int number);
std::string HexagramName(int number);

// Hexagram number 1..64 of a six-character code (moving marks allowed); 0 for other text.
int HexagramNumberOfCode(std::string_view code);
// Hexagram number 1..64 of a name such as 天风姤 (blanks around it ignored); 0 when no
// hexagram has that name.
int HexagramNumberOfName(std::string_view name);

// Report suffix of a rank: "-游魂" for 7, "-归魂" for 8, else empty.
std::string_view RankSuffix(int rank);

struct NajiaLines {
    std::array<Branch, 6> branches{};  // index 0 = line 1
    std::array<Stem, 6> stems{};
};

// Stems and branches of the six lines. qianFromWu: the "乾卦初爻 从午起" setting.
NajiaLines Najia(std::string_view code, bool qianFromWu);

// The branches of a palace's pure hexagram, line 1 first.
std::array<Branch, 6> PureHexagramBranches(Trigram palace, bool qianFromWu);

// Mutual hexagram (互卦): characters 2 3 4 3 4 5 of the code, moving marks removed.
std::string MutualCode(std::string_view code);

// 卦身 from the world line's index (0 = line 1) and branch.
constexpr Branch GuaShen(int worldIndex, Branch worldBranch) {
    return IsYangBranch(worldBranch) ? (worldIndex + 1) % 12 : (worldIndex + 7) % 12;
}

}  // namespace qingheng
