#pragma once
// The Xiao Liu Ren hour lesson (六壬时课): a lunar month, a lunar day and an hour count
// through six lessons; the one reached is shown with its verse from the string table.
#include <array>
#include <string>
#include <string_view>

namespace qingheng {

// Lesson names by result r = 0 … 5 (空亡 is r = 0).
inline constexpr std::array<std::string_view, 6> kLessonNames = {"空亡", "大安", "留连", "速喜", "赤口", "小吉"};
inline constexpr int kLessonTextBase = 6700;  // 大安 is 6700 … 空亡 6705

// The items of the three lists: "一月" … "十二月", "初一日" … "三十日", "0时" … "23时".
std::string LessonMonthItem(int month);  // 1-12
std::string LessonDayItem(int day);      // 1-30
std::string LessonHourItem(int hour);    // 0-23

// The lesson reached from list indexes: month 0-11, day 0-29, hour 0-23.
int LessonResult(int monthIndex, int dayIndex, int hour);

// String id of the verse of a lesson result.
int LessonTextId(int result);

// A verse broken into the memo's lines by GBK bytes: 38 bytes, 30 bytes, then pieces of 24
// bytes each indented by six blanks; every line ends in "\n".
std::string BreakLessonText(std::string_view text);

// The whole memo text of a lesson, list indexes as for LessonResult.
std::string HourLessonText(int monthIndex, int dayIndex, int hour);

}  // namespace qingheng
