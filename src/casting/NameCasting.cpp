#include "casting/NameCasting.h"

#include <algorithm>
#include <vector>

#include "platform/Gbk.h"

namespace qingheng {

namespace {

std::string_view Trim(std::string_view s) {
    while (!s.empty() && s.front() == ' ') s.remove_prefix(1);
    while (!s.empty() && s.back() == ' ') s.remove_suffix(1);
    return s;
}

// The UTF-8 characters of a text.
std::vector<std::string_view> Characters(std::string_view text) {
    std::vector<std::string_view> out;
    gbk::forEachCharacter(text, [&](std::string_view c) { out.push_back(c); });
    return out;
}

std::optional<Trigram> TrigramOfImage(std::string_view image) {
    const auto it = std::find(kTrigramImages.begin(), kTrigramImages.end(), image);
    if (it == kTrigramImages.end()) return std::nullopt;
    return static_cast<Trigram>(it - kTrigramImages.begin());
}

}  // namespace

void ApplyMovingLines(std::string& mainCode, std::string& changedCode, const MovingLines& moving) {
    for (int k = 0; k < 6; ++k) {
        if (moving[k]) MoveLine(mainCode, changedCode, k + 1);
    }
}

std::string NameGridCell(int column, int row) {
    if (row == 0) return "  " + std::string(TrigramName(column)) + "宫";
    return std::string(HexagramTableName(column * 8 + row));
}

std::optional<std::string> CodeOfNameCell(std::string_view cellText, int row) {
    const auto chars = Characters(Trim(cellText));
    if (chars.size() < 2) return std::nullopt;
    const std::string_view first = row == 1 ? chars.back() : chars[0];
    const std::string_view second = row == 1 ? chars.back() : chars[1];
    const auto upper = TrigramOfImage(first);
    const auto lower = TrigramOfImage(second);
    if (!upper || !lower) return std::nullopt;
    return TrigramCode(*upper) + TrigramCode(*lower);
}

std::optional<CastResult> CastByNameCell(std::string_view cellText, int row, const MovingLines& moving) {
    const auto code = CodeOfNameCell(cellText, row);
    if (!code) return std::nullopt;
    return CastByTrigrams(TrigramOf(code->substr(0, 3)), TrigramOf(code->substr(3, 3)), moving, CastingMethod::Name);
}

std::optional<std::pair<int, int>> FindNameCell(std::string_view name) {
    const int n = HexagramNumberOfName(name);
    if (n == 0) return std::nullopt;
    return std::pair{(n - 1) / 8, (n - 1) % 8 + 1};
}

std::optional<Trigram> ParseTrigram(std::string_view text) {
    text = Trim(text);
    for (Trigram t = 0; t < 8; ++t) {
        if (text == kTrigramEntries[t] || text == kTrigramNames[t] || text == kTrigramImages[t]) return t;
    }
    if (text.size() == 1 && text[0] >= '1' && text[0] <= '8') return text[0] - '1';
    return std::nullopt;
}

CastResult CastByTrigrams(Trigram upper, Trigram lower, const MovingLines& moving, CastingMethod method) {
    CastResult r;
    r.mainCode = TrigramCode(upper) + TrigramCode(lower);
    r.changedCode = r.mainCode;
    ApplyMovingLines(r.mainCode, r.changedCode, moving);
    r.method = method;
    r.label = std::string(CastingMethodLabel(method));
    return r;
}

CastResult CastFromCoinItems(const std::array<int, 6>& itemsTopFirst) {
    CastResult r;
    for (int item : itemsTopFirst) r.mainCode += static_cast<char>('1' + item);
    r.changedCode = ChangedCode(r.mainCode);
    r.method = CastingMethod::Coins;
    r.label = std::string(CastingMethodLabel(r.method));
    return r;
}

}  // namespace qingheng
