#include "vocab/Hexagram.h"

#include "platform/Gbk.h"
#include "platform/StringTable.h"

namespace qingheng {
namespace {

inline constexpr int kHexagramNameTable = 700;
inline constexpr int kNameBytes = 8;

struct TrigramNajia {
    Stem outerStem;
    Stem innerStem;
    Branch firstBranch;
    int step;
};

constexpr std::array<TrigramNajia, 8> kNajia = {{
    {9, 1, 1, 2},   // 乾: 壬 outside, 甲 inside, from 子 (午 with the setting)
    {4, 4, 6, -2},  // 兑: 丁, from 巳
    {6, 6, 4, -2},  // 离: 己, from 卯
    {7, 7, 1, 2},   // 震: 庚, from 子
    {8, 8, 2, -2},  // 巽: 辛, from 丑
    {5, 5, 3, 2},   // 坎: 戊, from 寅
    {3, 3, 5, 2},   // 艮: 丙, from 辰
    {0, 2, 8, -2},  // 坤: 癸 outside, 乙 inside, from 未
}};

constexpr std::array<int, 8> kWorldIndexByRank = {5, 0, 1, 2, 3, 4, 3, 2};

// Hexagrams as 6-bit numbers: bit k set when line k + 1 is yang.
constexpr int trigramBits(Trigram t) {
    // Character j (1 = top … 3 = bottom) is yang when bit j-1 of v = 7 - t is set, so the
    // bottom line of the trigram is bit 2 of v.
    const int v = 7 - t;
    return ((v >> 2) & 1) | (((v >> 1) & 1) << 1) | ((v & 1) << 2);
}

constexpr int pureBits(Trigram t) { return trigramBits(t) | (trigramBits(t) << 3); }

constexpr std::array<std::array<int, 8>, 8> buildPalaces() {
    std::array<std::array<int, 8>, 8> palaces{};
    for (Trigram p = 0; p < 8; ++p) {
        int bits = pureBits(p);
        palaces[p][0] = bits;
        for (int rank = 2; rank <= 6; ++rank) {
            bits ^= 1 << (rank - 2);  // flip line 1, then 2 … 5, cumulatively
            palaces[p][rank - 1] = bits;
        }
        bits ^= 1 << 3;  // 游魂: line 4 back
        palaces[p][6] = bits;
        palaces[p][7] = (bits & 0b111000) | trigramBits(p);  // 归魂: lower trigram restored
    }
    return palaces;
}

constexpr auto kPalaces = buildPalaces();

struct Place {
    Trigram palace;
    int rank;
};

constexpr std::array<Place, 64> buildPlaces() {
    std::array<Place, 64> places{};
    for (Trigram p = 0; p < 8; ++p) {
        for (int r = 0; r < 8; ++r) places[kPalaces[p][r]] = {p, r + 1};
    }
    return places;
}

constexpr auto kPlaces = buildPlaces();

int codeBits(std::string_view code) {
    int bits = 0;
    for (int line = 0; line < 6; ++line) {
        if (IsYangLine(code[5 - line])) bits |= 1 << line;
    }
    return bits;
}

std::string bitsToCode(int bits) {
    std::string code(6, kYoungYin);
    for (int line = 0; line < 6; ++line) {
        if (bits & (1 << line)) code[5 - line] = kYoungYang;
    }
    return code;
}

}  // namespace

bool IsHexagramCode(std::string_view code) {
    if (code.size() != 6) return false;
    for (char c : code) {
        if (c < '1' || c > '4') return false;
    }
    return true;
}

std::string StaticCode(std::string_view code) {
    std::string out(code);
    for (char& c : out) c = StaticLine(c);
    return out;
}

std::string ChangedCode(std::string_view code) {
    std::string out(code);
    for (char& c : out) {
        if (c == kOldYang) c = kYoungYin;
        else if (c == kOldYin) c = kYoungYang;
    }
    return out;
}

std::string TrigramCode(Trigram t) {
    const int v = 7 - t;
    std::string code(3, kYoungYin);
    for (int j = 0; j < 3; ++j) {
        if (v & (1 << j)) code[j] = kYoungYang;
    }
    return code;
}

// The inverse of TrigramCode: character j (top first) sets bit j when yang, and t = 7 - v.
Trigram TrigramOf(std::string_view code3) {
    if (code3.size() != 3) return kNoTrigram;
    int v = 0;
    for (int j = 0; j < 3; ++j) {
        const char line = StaticLine(code3[j]);
        if (line != kYoungYang && line != kYoungYin) return kNoTrigram;
        if (line == kYoungYang) v |= 1 << j;
    }
    return 7 - v;
}

PalacePlace LocatePalace(std::string_view code) {
    const Place place = kPlaces[codeBits(code)];
    PalacePlace out;
    out.palace = place.palace;
    out.rank = place.rank;
    out.worldIndex = kWorldIndexByRank[place.rank - 1];
    out.responseIndex = (out.worldIndex + 3) % 6;
    for (int i = 0; i < 6; ++i) out.staticCode[i] = StaticLine(code[i]);
    out.staticCode[6] = '\0';
    return out;
}

std::string PalaceMemberCode(Trigram palace, int rank) { return bitsToCode(kPalaces[palace][rank - 1]); }

namespace {

// The 64 entries of the name table (index 0 unused), cut once. Entries are padded to 8 GBK
// bytes; in UTF-8 each CJK character takes 3 bytes, so the table is walked by GBK width.
std::array<std::string_view, 65> cutNameTable() {
    const std::string& table = resourceString(kHexagramNameTable);
    std::array<std::string_view, 65> names{};
    std::size_t pos = 0;
    for (int n = 1; n <= 64 && pos < table.size(); ++n) {
        const std::size_t start = pos;
        int w = 0;
        while (pos < table.size() && w < kNameBytes) {
            const int len = gbk::utf8SequenceLength(static_cast<std::uint8_t>(table[pos]));
            w += len == 1 ? 1 : 2;
            pos += len;
        }
        names[n] = std::string_view(table).substr(start, pos - start);
    }
    return names;
}

}  // namespace

std::string_view HexagramTableName(int number) {
    static const std::array<std::string_view, 65> names = cutNameTable();
    return number >= 1 && number <= 64 ? names[number] : std::string_view{};
}

std::string HexagramName(int number) {
    std::string_view name = HexagramTableName(number);
    while (!name.empty() && name.back() == ' ') name.remove_suffix(1);
    while (!name.empty() && name.front() == ' ') name.remove_prefix(1);
    return std::string(name);
}

int HexagramNumberOfCode(std::string_view code) {
    if (!IsHexagramCode(code)) return 0;
    const Place place = kPlaces[codeBits(code)];
    return HexagramNumber(place.palace, place.rank);
}

int HexagramNumberOfName(std::string_view name) {
    while (!name.empty() && name.front() == ' ') name.remove_prefix(1);
    while (!name.empty() && name.back() == ' ') name.remove_suffix(1);
    if (name.empty()) return 0;
    for (int n = 1; n <= 64; ++n) {
        if (HexagramName(n) == name) return n;
    }
    return 0;
}

std::string_view RankSuffix(int rank) {
    if (rank == 7) return "-游魂";
    if (rank == 8) return "-归魂";
    return {};
}

std::array<Branch, 6> PureHexagramBranches(Trigram palace, bool qianFromWu) {
    const std::string code = TrigramCode(palace) + TrigramCode(palace);
    return Najia(code, qianFromWu).branches;
}

NajiaLines Najia(std::string_view code, bool qianFromWu) {
    NajiaLines out;
    const Trigram upper = TrigramOf(code.substr(0, 3));
    const Trigram lower = TrigramOf(code.substr(3, 3));
    auto first = [&](Trigram t) { return (t == 0 && qianFromWu) ? branch::kWu : kNajia[t].firstBranch; };
    for (int i = 0; i < 3; ++i) {
        out.branches[i] = mod(first(lower) + i * kNajia[lower].step, 12);
        out.branches[i + 3] = mod(first(upper) + 6 + i * kNajia[upper].step, 12);
        out.stems[i] = kNajia[lower].innerStem;
        out.stems[i + 3] = kNajia[upper].outerStem;
    }
    return out;
}

std::string MutualCode(std::string_view code) {
    const std::string s = StaticCode(code);
    return {s[1], s[2], s[3], s[2], s[3], s[4]};
}

}  // namespace qingheng
