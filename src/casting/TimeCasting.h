#pragma once
// Time casting by the plum-blossom rule: the upper trigram from the year, month and day
// numbers, the lower trigram and the moving line from that sum plus the hour number and an
// optional addition. The lifetime hexagram starts from the year's stem or branch instead.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "calendar/Yidate.h"
#include "casting/Casting.h"

namespace qingheng {

enum class TimeAddition : std::uint8_t { None = 0, Character = 1, Number = 2 };
enum class LifetimeStart : std::uint8_t { Stem = 0, Branch = 1 };

// The remembered entries of the time dialog, so that it reopens as last used.
struct TimeCastingEntry {
    std::int16_t year = 0, month = 0, day = 0, hour = 0, minute = 0;
    std::uint8_t lunar = 0;  // 1 = "农历" chosen
    std::uint8_t leap = 0;   // 1 = "农历闰月" ticked
    TimeAddition additionKind = TimeAddition::None;
    std::string additionText;  // the character or the digits (at most 4 GBK bytes)
    LifetimeStart lifetimeStart = LifetimeStart::Stem;
};

// The casting time a time cast is dated by: the entry's date and time with its calendar flags.
CastingTime CastingTimeOfEntry(const TimeCastingEntry& entry);
// The time dialog reopens with the casting time's date, time and calendar flags.
void RememberCastingTime(TimeCastingEntry& entry, const CastingTime& time);

// Limits of the two addition edits.
inline constexpr int kAdditionCharBytes = 2;
inline constexpr int kAdditionDigits = 3;
inline constexpr std::string_view kDefaultAdditionChar = "爻";
inline constexpr std::string_view kDefaultAdditionNumber = "1";

// Month mode "timegua" of set.ini: 0 months open at the solar terms, else lunar months.
inline constexpr int kMonthsBySolarTerms = 0;

// The dialog's date and time as entered (year as typed may lie anywhere).
struct TimeInput {
    int year = 0, month = 1, day = 1, hour = 0, minute = 0;
    bool lunar = false, leap = false;
};

// A checked moment and the numbers time casting reads.
struct TimeMoment {
    DateRecord gregorian;   // the moment as a Gregorian date-time
    DateRecord shown;       // the same, moved to the next day from 23:00 on
    GanZhi yearNumber = 0;  // year pillar of the moment
    int monthNumber = 1;    // 1 = the month opened by 立春 (寅) … 12 = 小寒 (丑), or the lunar month
    int lunarDay = 1;
};

struct TimeCheck {
    std::optional<TimeMoment> moment;
    std::optional<CastMessage> refusal;
    bool focusYear = false;  // the year itself was refused
};

// Validation of the entered moment in the given month mode.
TimeCheck CheckTimeInput(const TimeInput& input, int monthMode);

// The dialog's hint line: "公：2024-2-10 9:30，农：甲辰年寅月1日".
std::string TimeHint(const TimeMoment& moment);

// Hour number: 23:00-00:59 is 1 (子), 01:00-02:59 is 2 (丑) … 21:00-22:59 is 12 (亥).
int HourNumber(int hour);

// The addition to the lower sum, checked.
struct AdditionCheck {
    int value = 0;
    std::optional<CastMessage> refusal;
    bool clearEdit = false;  // the edit is emptied after the message
};
AdditionCheck CheckAddition(TimeAddition kind, std::string_view text);

// Casting by time with an addition (0 for none), and the lifetime hexagram.
CastResult CastByTime(const TimeMoment& moment, int addition);
CastResult CastLifetime(const TimeMoment& moment, LifetimeStart start);

}  // namespace qingheng
