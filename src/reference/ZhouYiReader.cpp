#include "reference/ZhouYiReader.h"

#include <algorithm>

#include "casting/NameCasting.h"
#include "chart/ClassicTexts.h"
#include "platform/StringTable.h"

namespace qingheng {
namespace {

constexpr int kNamesPerPalace = 8;

int numberOf(Trigram palace, int index) { return HexagramNumber(palace, index + 1); }

// 用九 after 乾为天 and 用六 after 坤为地; 0 for every other hexagram.
int extraEntryId(Trigram palace, int index) {
    if (index != 0) return 0;
    if (palace == 0) return kQianExtraId;
    if (palace == 7) return kKunExtraId;
    return 0;
}

std::string_view trimmed(std::string_view s) {
    while (!s.empty() && s.front() == ' ') s.remove_prefix(1);
    while (!s.empty() && s.back() == ' ') s.remove_suffix(1);
    return s;
}

}  // namespace

std::vector<std::string> ReaderNames(Trigram palace) {
    std::vector<std::string> names;
    for (int i = 0; i < kNamesPerPalace; ++i) names.push_back(HexagramName(numberOf(palace, i)));
    return names;
}

std::optional<std::string> ReaderLineCode(std::string_view name, int index) {
    // The name dialog's grid reads names the same way, with the pure hexagram on row 1.
    return CodeOfNameCell(name, index + 1);
}

std::string_view ReaderGlyph(char line) { return line == kYoungYang ? "━━━　" : "━　━　"; }

std::string ReaderText(Trigram palace, int index) {
    const int n = numberOf(palace, index);
    const std::string name = HexagramName(n);
    const std::string code = ReaderLineCode(name, index).value_or(PalaceMemberCode(palace, index + 1));

    const HexagramTextParts h = SplitHexagramText(resourceString(HexagramTextId(n)));
    std::string text = "\n※" + name + ":";
    text.append(h.judgement).append("\n  ").append(h.tuan).append("\n  ").append(h.xiang).append("\n\n");
    for (int k = 1; k <= 6; ++k) {
        const LineTextParts line = SplitLineText(resourceString(LineTextId(n, k)));
        text += "★" + LineName(k, code[6 - k] == kYoungYang) + ":";
        text.append(line.text).append("\n  ").append(line.xiang).append("\n\n");
    }
    if (const int extra = extraEntryId(palace, index)) {
        const LineTextParts entry = SplitLineText(resourceString(extra));
        text.append("★").append(entry.text).append("\n  ").append(entry.xiang);
    }
    return text;
}

std::optional<ReaderChoice> FindReaderHexagram(std::string_view numberOrName) {
    const std::string_view wanted = trimmed(numberOrName);
    const bool digits = !wanted.empty() && wanted.size() <= 2 &&
                        std::all_of(wanted.begin(), wanted.end(), [](char c) { return c >= '0' && c <= '9'; });
    if (digits) {
        const int n = std::stoi(std::string(wanted));
        if (n < 1 || n > 64) return std::nullopt;
        return ReaderChoice{(n - 1) / kNamesPerPalace, (n - 1) % kNamesPerPalace};
    }
    const auto cell = FindNameCell(wanted);
    if (!cell) return std::nullopt;
    return ReaderChoice{cell->first, cell->second - 1};
}

}  // namespace qingheng
