#include "reference/HourLesson.h"

#include "calendar/Yidate.h"
#include "platform/Gbk.h"
#include "platform/StringTable.h"

namespace qingheng {
namespace {

constexpr int kLeadBytes = 38;    // the omen's time, phase, spirit and numbers
constexpr int kSecondBytes = 30;  // "断曰：" and the first two phrases
constexpr int kPieceBytes = 24;   // two phrases
constexpr std::string_view kIndent = "      ";

}  // namespace

std::string LessonMonthItem(int month) { return CYiDate().ChineseNumeral(month) + "月"; }

std::string LessonDayItem(int day) { return (day <= 10 ? "初" : "") + CYiDate().ChineseNumeral(day) + "日"; }

std::string LessonHourItem(int hour) { return std::to_string(hour) + "时"; }

int LessonResult(int monthIndex, int dayIndex, int hour) {
    const int doubleHour = (hour % 2 == 0 ? hour : (hour + 1) % 24) / 2;  // 子 = 0
    return (monthIndex + dayIndex + 1 + doubleHour) % 6;
}

int LessonTextId(int result) { return kLessonTextBase + (result == 0 ? 6 : result) - 1; }

std::string BreakLessonText(std::string_view text) {
    const int total = gbk::width(text);
    std::string out = gbk::slice(text, 0, kLeadBytes) + "\n";
    out += gbk::slice(text, kLeadBytes, kSecondBytes) + "\n";
    for (int start = kLeadBytes + kSecondBytes; start < total; start += kPieceBytes)
        out += std::string(kIndent) + gbk::slice(text, start, kPieceBytes) + "\n";
    return out;
}

std::string HourLessonText(int monthIndex, int dayIndex, int hour) {
    const int result = LessonResult(monthIndex, dayIndex, hour);
    std::string out =
        "起课时间：" + LessonMonthItem(monthIndex + 1) + LessonDayItem(dayIndex + 1) + LessonHourItem(hour);
    out += "\n得[" + std::string(kLessonNames[result]) + "]课论断如下：\n\n";
    return out + BreakLessonText(resourceString(LessonTextId(result)));
}

}  // namespace qingheng
