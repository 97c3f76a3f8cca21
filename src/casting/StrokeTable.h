#pragma once
// The stroke table dat/hzlen.dat: one 4-byte record per GB2312 hanzi (rows 0xB0-0xF7),
// bytes 2-3 holding the stroke count of the character's traditional form (0 = unknown).
// The file is opened and closed for every look-up so that an edit applies at once.
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace qingheng {

inline constexpr int kStrokeRecords = 6768;
inline constexpr int kStrokeRecordSize = 4;
inline constexpr std::string_view kStrokeTableFile = "hzlen.dat";
// What the user is told when the table cannot be read.
inline constexpr std::string_view kStrokeTableMissing = "汉字库文件丢失！";

// Record number of the double-byte character b0 b1; nullopt outside the hanzi rows.
std::optional<int> strokeRecordNumber(std::uint8_t b0, std::uint8_t b1);

// Stroke count held by a record of the table file; nullopt when the file cannot be opened or
// the record cannot be read.
std::optional<int> readStrokeRecord(const std::filesystem::path& table, int record);

// The simplified form of one character (a traditional 國 gives 国); the character itself when
// it has none.
std::string simplifiedCharacter(std::string_view utf8Character);

// The stroke look-up of one character given as UTF-8 text, the one every tool uses. A
// character outside the table (a traditional form) is looked up by its simplified form.
struct CharacterStrokes {
    int count = 0;              // 0 when no count is known
    bool tableMissing = false;  // the table file cannot be read
};
CharacterStrokes lookUpStrokes(std::string_view utf8Character);

// The count alone: 0 when the text is not one character, the character has no count, or the
// table cannot be read.
inline int strokeCount(std::string_view utf8Character) { return lookUpStrokes(utf8Character).count; }

}  // namespace qingheng
