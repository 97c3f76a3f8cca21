#pragma once
// The phrase book (六爻断语): stock judgement phrases by question category, read from the
// INI-form file dat/meihy.dat. Each category's section holds "tol", the number of phrases,
// and the phrases under the keys "1" … "tol".
#include <array>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "platform/Status.h"

namespace qingheng {

inline constexpr std::string_view kPhraseBookFile = "meihy.dat";
inline constexpr std::array<std::string_view, 11> kPhraseCategories = {"天气", "求财", "求官", "学业", "婚姻", "词讼",
                                                                       "房屋", "病伤", "行人", "六神", "杂项"};

// A "tol" beyond this is a typing slip in a hand-edited file; the list stops there instead of
// filling the memo with billions of empty lines.
inline constexpr int kMaxPhrases = 9999;

struct PhraseSection {
    bool found = false;  // false when the file does not exist
    Status status;       // why an existing file could not be read
    std::string text;    // "1:phrase\n2:phrase\n…"; empty when tol is missing or 0
};

// The memo text of one category: for i from 1 to tol, "i:", the phrase of key i (empty when
// the key is missing) and "\n".
PhraseSection ReadPhraseSection(const std::filesystem::path& file, std::string_view category);

}  // namespace qingheng
