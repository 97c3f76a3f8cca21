#pragma once
// The stroke table dat/hzlen.dat: one 4-byte record per GB2312 hanzi (rows 0xB0-0xF7),
// bytes 2-3 holding the stroke count of the character's traditional form (0 = unknown).
// The file is opened and closed for every look-up so that an edit applies at once.
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string_view>

namespace qingheng {

inline constexpr int kStrokeRecords = 6768;
inline constexpr int kStrokeRecordSize = 4;
inline constexpr std::string_view kStrokeTableFile = "hzlen.dat";

// Record number of the double-byte character b0 b1; nullopt outside the hanzi rows.
std::optional<int> strokeRecordNumber(std::uint8_t b0, std::uint8_t b1);

// Stroke count held by a record of the table file; nullopt when the file cannot be opened or
// the record cannot be read.
std::optional<int> readStrokeRecord(const std::filesystem::path& table, int record);

// Stroke count of one character given as its two GBK bytes; 0 when the text is not two
// bytes, the character has no record, or the table cannot be read.
int strokeCountGbk(std::string_view gbkBytes);

// Stroke count of one character given as UTF-8 text; 0 as above (also for text GBK cannot
// encode).
int strokeCount(std::string_view utf8Character);

}  // namespace qingheng
