#pragma once
// The stroke-count editor: looks up one character's count in dat/hzlen.dat and corrects it,
// writing only the two count bytes of that character's record.
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "casting/StrokeTable.h"  // kStrokeTableMissing

namespace qingheng {

inline constexpr int kMinStrokes = 1;
inline constexpr int kMaxStrokes = 50;

inline constexpr std::string_view kStrokeNotHanzi = "请输入汉字";
inline constexpr std::string_view kStrokeNoRecord = "找不到这个汉字的笔画";
inline constexpr std::string_view kStrokeBadCount = "请输入一个汉字,且笔画数在1--50之间";
inline constexpr std::string_view kStrokeChanged = "完成修改";

// The GBK bytes of a text that is exactly one double-byte character; nullopt otherwise.
std::optional<std::string> SingleDoubleByteCharacter(std::string_view utf8);

// The look-up of a character (its two GBK bytes) in the table.
struct StrokeLookup {
    int count = 0;          // 0 when the table cannot be read or the character has no record
    bool noRecord = false;  // the character has no record in the table
};
StrokeLookup LookUpStrokes(const std::filesystem::path& table, std::string_view gbkCharacter);

// The new count typed for a character: a decimal number (0 when it is not one) that must lie
// in 1-50, with both bytes of the character 0xA0 or above; nullopt when refused.
std::optional<int> AcceptedStrokeCount(std::string_view gbkCharacter, std::string_view countText);

// Writes a count into the character's record in place. On failure nothing is written
// (noRecord, or message says why the table could not be updated).
struct StrokeWrite {
    bool ok = false;
    bool noRecord = false;
    std::string message;
};
StrokeWrite WriteStrokeCount(const std::filesystem::path& table, std::string_view gbkCharacter, int count);

}  // namespace qingheng
