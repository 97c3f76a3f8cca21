#pragma once
// The years the calendar tables cover, and the messages that refuse a year outside them.
// Every check of the range and every one of its messages comes from here.
#include <string_view>

namespace qingheng {

inline constexpr int kFirstYear = 1900;
inline constexpr int kLastYear = 2050;
inline constexpr int kTableYears = kLastYear - kFirstYear + 1;  // 151 rows

constexpr bool IsSupportedYear(int year) { return year >= kFirstYear && year <= kLastYear; }

// A Gregorian or lunar year outside the tables, as the calendar refuses it.
inline constexpr std::string_view kYearRangeText = "年份在1900-2050之间";
// A date that lies in the range as entered but converts or moves (23:00 belongs to the next
// day) out of it.
inline constexpr std::string_view kOutOfRangeText = "时间越界，年份在1900-2050之间";
// The casting-time dialogs' refusal of the year typed.
inline constexpr std::string_view kCastingYearText = "起卦年份在 1900-2050之间,请重新输入！";
// The case book's refusal of a record's year or of a search's year range.
inline constexpr std::string_view kRecordYearText = "年份必须在1900到2050年之间";

}  // namespace qingheng
