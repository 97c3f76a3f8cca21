#pragma once
// The generated calendar data behind CYiDate: the three packed tables (declared in Yidate.h)
// and the few dates whose answers the packed words cannot express.
#include <cstdint>

#include "calendar/Yidate.h"

namespace qingheng {

struct PlainDate {
    std::int16_t year, month, day;
};

// A Gregorian day (always day 30 or 31 of its month) whose lunar date the month's word cannot
// give: a month in which two lunar months begin.
struct SolarDirectAnswer {
    PlainDate gregorian;
    PlainDate lunar;
    std::uint8_t leap;
};

// A lunar day whose Gregorian date the month's half-word cannot give: a lunar month that
// touches three Gregorian months.
struct LunarDirectAnswer {
    PlainDate lunar;
    std::uint8_t leap;
    PlainDate gregorian;
};

extern const SolarDirectAnswer kSolarDirectAnswers[];
extern const int kSolarDirectAnswerCount;
extern const LunarDirectAnswer kLunarDirectAnswers[];
extern const int kLunarDirectAnswerCount;

}  // namespace qingheng
