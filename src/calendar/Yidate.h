#pragma once
// CYiDate: the calendar calculator for 1900-2050. Gregorian ⇄ lunar conversion from packed
// tables, day counts, solar-term moments, true solar time, and the rules of the four
// pillars. It holds no state; create one wherever it is needed.
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "calendar/YearRange.h"
#include "vocab/Signs.h"

namespace qingheng {

// A date and time; Gregorian or lunar depending on the call.
struct DateRecord {
    std::int16_t year = 0, month = 0, day = 0, hour = 0, minute = 0;
    friend bool operator==(const DateRecord&, const DateRecord&) = default;
};

// Earlier-than on (year, month, day, hour, minute).
bool IsBefore(const DateRecord& a, const DateRecord& b);

// Days of a Gregorian month (28-31; the Julian leap rule before 1583, as IsValidSolarDate).
int SolarMonthLength(int year, int month);

// The three packed tables: row = year - 1900, column = month - 1.
extern const std::uint32_t SolarToLunarTable[kTableYears][12];
extern const std::uint32_t LunarToSolarTable[kTableYears][12];
extern const std::uint32_t SolarTermTable[kTableYears][12];

// The 24 term names in month order, "小寒" first: term k (0 first, 1 second) of month m is
// entry 2(m-1)+k.
extern const std::array<const char*, 24> kSolarTermNames;

// The equation of time in minutes by 0-based day of the year (leap-year days; a common year
// reads the same index, so from March on it takes the value of the day before).
extern const std::array<double, 366> EquationOfTimeTable;

class CYiDate {
public:
    // Gregorian date-time (year 1900-2050) to lunar; returns the leap flag (1 = leap month).
    std::uint8_t SolarToLunar(const DateRecord& solar, DateRecord& lunar) const;
    // Lunar date-time (lunar year 1900-2050) to Gregorian; false with the message on failure.
    bool LunarToSolar(const DateRecord& lunar, DateRecord& solar, bool leap, std::string& message) const;
    bool IsValidSolarDate(const DateRecord& date) const;
    void AddOneDay(DateRecord& date) const;
    double JulianDay(const DateRecord& date) const;
    void FromJulianDay(double jd, DateRecord& date) const;
    // 1-30 in Chinese numerals ("一" … "十", "十一", "二十", "廿一", "三十").
    std::string ChineseNumeral(int n) const;
    GanZhi CombineStemBranch(Stem stem, Branch branch) const;
    // which = 1: the month's first term; any other value: its second term.
    void SolarTermMoment(int year, int month, int which, DateRecord& moment) const;
    // Moves a Beijing clock time to true solar time at the longitude (degrees east); a
    // longitude outside -180 to 180 leaves the date as it is.
    void TrueSolarTime(float longitude, DateRecord& date) const;
};

struct FourPillars {
    GanZhi year = -1, month = -1, day = -1, hour = -1;
};

// The pillar rules. YearPillar/MonthPillar date by the solar terms; DayPillar advances at
// hour 23; HourPillar takes the day pillar after that advance.
GanZhi YearPillar(const DateRecord& moment);
GanZhi MonthPillar(const DateRecord& moment, GanZhi yearPillar);
GanZhi DayPillar(const DateRecord& date);
GanZhi HourPillar(int hour, GanZhi dayPillar);

// The double hour (时辰) of a clock hour 0-23, counted from 子: 23:00-00:59 is 0,
// 01:00-02:59 is 1 … 21:00-22:59 is 11. The hour pillar, the report's hour, the hour lists
// and time casting all read the hour through it.
constexpr int DoubleHourOf(int hour) { return (hour + 1) / 2 % 12; }
// The branch of that double hour: 子 for 23:00-00:59 … 亥 for 21:00-22:59.
constexpr Branch HourBranch(int hour) { return (DoubleHourOf(hour) + 1) % 12; }

// Month pillar of a month number counted from 立春: 2 = 寅 … 12 = 子, 13 = 丑.
GanZhi MonthPillarOfNumber(int monthNumber, GanZhi yearPillar);
// Year and month pillars by the lunar calendar instead of the terms (lunar first month = 寅).
GanZhi LunarYearPillar(int lunarYear);
GanZhi LunarMonthPillar(int lunarMonth, GanZhi lunarYearPillar);

// The casting time as the user entered it.
struct CastingTime {
    std::int16_t year = 0, month = 0, day = 0, hour = 0, minute = 0;
    std::uint8_t lunar = 0;  // 1 = year, month and day are a lunar date
    std::uint8_t leap = 0;   // 1 = leap lunar month
    friend bool operator==(const CastingTime&, const CastingTime&) = default;
};

// A Gregorian date and time as a casting time (not lunar, not leap).
CastingTime GregorianCastingTime(const DateRecord& gregorian);

// The clock's present moment as a Gregorian casting time; a year past the tables is taken
// as their last year.
CastingTime CastingTimeNow();

// A casting time dated in both calendars and the sexagenary cycle.
struct DatedMoment {
    DateRecord moment;     // T: the casting moment as a Gregorian clock time
    DateRecord gregorian;  // G: Gregorian fields after the true-solar-time correction
    DateRecord lunar;      // lunar fields (from G, moved to the next day at hour 23)
    std::uint8_t leap = 0;
    FourPillars pillars;  // year and month from T, day and hour from G
};

// Year, month, day, hour and minute of "YYYY-MM-DD HH:MM" (one or two digits allowed for
// month, day, hour and minute). nullopt when the text has another form or a field is out of
// its range (month 1-12, day 1-31, hour 0-23, minute 0-59); whether the day exists in its
// month is left to the calendar.
std::optional<DateRecord> ParseMomentText(std::string_view text);

// A longitude or latitude of -500 or less stands for "no position given"; kNoPosition is
// the value written for it.
inline constexpr float kNoPosition = -501.0f;
constexpr bool IsGivenPosition(float degrees) { return degrees > -500.0f; }

// A longitude the true-solar-time correction takes: -180 to 180 degrees east (not NaN,
// not infinite). DateCastingTime refuses any other given longitude with kLongitudeRangeText.
constexpr bool IsValidLongitude(double degrees) { return degrees >= -180.0 && degrees <= 180.0; }
inline constexpr std::string_view kLongitudeRangeText = "经度必须在-180到180度之间";

// Dates a casting time: the one rule the chart engine, the time-casting dialog and the
// perpetual calendar share. On failure returns false with the user's message in error.
bool DateCastingTime(const CastingTime& entry, float longitude, DatedMoment& out, std::string& error);

}  // namespace qingheng
