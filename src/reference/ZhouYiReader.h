#pragma once
// The Zhou Yi reader: the classic text of any hexagram, chosen by palace and name. Shared by
// the reader window and `qingheng-cli zhouyi`.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "vocab/Hexagram.h"

namespace qingheng {

// The eight names of a palace in rank order, trimmed.
std::vector<std::string> ReaderNames(Trigram palace);

// The six line characters ('1' yang, '2' yin, top line first) read from the images of a
// name: index 0 (the pure hexagram, such as 兑为泽) takes its last character twice, every
// other its first two characters. nullopt when the name has no such images.
std::optional<std::string> ReaderLineCode(std::string_view name, int index);

// The glyph of a line character: "━━━　" for '1', "━　━　" otherwise.
std::string_view ReaderGlyph(char line);

// The text of the name at index (0..7) of a palace, lines "\n"-separated; 乾为天 and 坤为地
// end with their 用九 or 用六 entry.
std::string ReaderText(Trigram palace, int index);

// Palace and index of a hexagram number (1..64) or name (such as 天风姤); nullopt otherwise.
struct ReaderChoice {
    Trigram palace = 0;
    int index = 0;
};
std::optional<ReaderChoice> FindReaderHexagram(std::string_view numberOrName);

}  // namespace qingheng
