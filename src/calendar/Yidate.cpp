#include "calendar/Yidate.h"

#include <algorithm>
#include <cctype>
#include <cmath>

#include <fmt/format.h>

#include "calendar/YidateTables.h"
#include "platform/Clock.h"

namespace qingheng {

const std::array<const char*, 24> kSolarTermNames = {"小寒", "大寒", "立春", "雨水", "惊蛰", "春分", "清明", "谷雨",
                                                     "立夏", "小满", "芒种", "夏至", "小暑", "大暑", "立秋", "处暑",
                                                     "白露", "秋分", "寒露", "霜降", "立冬", "小雪", "大雪", "冬至"};

const std::array<double, 366> EquationOfTimeTable = {
    -3.4,   -3.83,  -4.34,  -4.8,   -5.25,  -5.7,   -6.14,  -6.57,  -7,     -7.4,   -7.82,  -8.2,   -8.66,  -9,
    -9.32,  -9.67,  -10,    -10.35, -10.67, -10.95, -11.25, -11.52, -11.8,  -12.05, -12.28, -12.52, -12.72, -12.92,
    -13.12, -13.28, -13.47, -13.6,  -13.74, -13.85, -13.95, -14.05, -14.14, -14.2,  -14.25, -14.28, -14.3,  -14.32,
    -14.32, -14.3,  -14.3,  -14.26, -14.19, -14.12, -14.05, -13.97, -13.85, -13.75, -13.64, -13.5,  -13.36, -13.22,
    -13.05, -12.9,  -12.7,  -12.6,  -12.52, -12.32, -12.02, -11.92, -11.7,  -11.48, -11.25, -11,    -10.75, -10.5,
    -10.24, -9.96,  -9.7,   -9.38,  -9.15,  -8.86,  -8.58,  -8.3,   -8,     -7.7,   -7.4,   -7.01,  -6.8,   -6.5,
    -6.2,   -5.9,   -5.6,   -5.28,  -5,     -4.67,  -4.35,  -4.07,  -3.78,  -3.48,  -3.2,   -2.9,   -2.62,  -2.35,
    -2.05,  -1.75,  -1.5,   -1.22,  -0.95,  -0.7,   -0.48,  -0.19,  0.05,   0.3,    0.5,    0.75,   0.99,   1.18,
    1.38,   1.6,    1.75,   1.95,   2.14,   2.3,    2.45,   2.6,    2.74,   2.86,   3,      3.1,    3.2,    3.26,
    3.36,   3.45,   3.52,   3.57,   3.62,   3.64,   3.68,   3.7,    3.72,   3.72,   3.7,    3.7,    3.65,   3.62,
    3.57,   3.52,   3.45,   3.43,   3.3,    3.24,   3.12,   3,      2.9,    2.76,   2.64,   2.48,   2.35,   2.2,
    2.04,   1.86,   1.7,    1.52,   1.35,   1.15,   0.95,   0.76,   0.56,   0.34,   0.15,   0.05,   0.26,   0.46,
    0.7,    -0.95,  -1.12,  -1.35,  -1.55,  -1.76,  -2,     -2.2,   -2.6,   -2.62,  -2.86,  -3.04,  -3.25,  -3.45,
    -3.66,  -3.85,  -4.04,  -4.23,  -4.4,   -4.55,  -4.75,  -5.9,   -5.05,  -5.2,   -5.35,  -5.47,  -5.6,   -5.72,
    -5.82,  -5.92,  -6,     -6.1,   -6.17,  -6.3,   -6.3,   -6.35,  -6.38,  -6.42,  -6.44,  -6.44,  -6.45,  -6.44,
    -6.42,  -6.39,  -6.35,  -6.3,   -6.26,  -6.17,  -6.08,  -6,     -5.9,   -5.8,   -5.66,  -5.52,  -5.4,   -5.25,
    -5.07,  -4.9,   -4.72,  -4.52,  -4.32,  -4.07,  -3.9,   -3.68,  -3.46,  -3.22,  -3,     -2.72,  -2.46,  -2.2,
    -1.6,   -1.67,  -1.35,  -1.07,  -0.76,  -0.45,  -0.15,  0.17,   0.48,   0.82,   1.15,   1.48,   1.82,   2.15,
    3.5,    2.85,   3.2,    3.55,   3.9,    4.26,   4.62,   4.96,   5.35,   5.7,    6.04,   6.4,    6.75,   7.12,
    7.45,   7.8,    8.15,   8.5,    8.85,   9.17,   9.5,    9.85,   10.15,  10.46,  10.8,   11.1,   11.4,   11.7,
    12,     12.29,  12.57,  12.85,  13.1,   13.35,  13.62,  13.85,  14.1,   14.32,  14.52,  14.74,  14.92,  15.1,
    15.26,  15.26,  15.6,   15.72,  15.85,  15.95,  16.05,  16.14,  16.22,  16.28,  16.35,  16.36,  16.36,  16.4,
    16.26,  16.4,   16.35,  16.32,  16.27,  16.2,   16.1,   16.02,  15.9,   15.75,  15.64,  15.5,   15.3,   15.12,
    14.94,  14.72,  14.5,   14.25,  14,     13.75,  13.45,  13.15,  12.85,  12.52,  12.52,  11.85,  11.5,   11.14,
    10.75,  10.4,   10,     9.6,    9.17,   8.75,   8.32,   7.85,   7.44,   6.96,   6.52,   6.05,   5.6,    5.1,
    4.62,   4.14,   3.67,   3.15,   2.67,   2.15,   1.66,   1.15,   0,      -0.17,  -0.34,  -0.84,  -1.35,  -1.82,
    -2.3,   -2.8,
};

namespace {

const char* const kNoSuchLunarDay = "不存在这个日期,请重新输入！";
const char* const kNoSuchDate = "不存在这个日期";

bool IsLeapYear(int year) {
    if (year < 1583) return mod(year, 4) == 0;
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

bool IsValidClock(const DateRecord& r) { return r.hour >= 0 && r.hour <= 23 && r.minute >= 0 && r.minute <= 59; }

// One unpacked half of a term word; a year outside the tables reads as day 0.
struct TermTime {
    int day, hour, minute;
};

TermTime TermOf(int year, int month, int which) {
    if (!IsSupportedYear(year) || month < 1 || month > 12) return {0, 0, 0};
    const std::uint32_t word = SolarTermTable[year - kFirstYear][month - 1];
    const std::uint32_t half = which == 1 ? (word & 0xffff) : (word >> 16);
    return {static_cast<int>(half & 31), static_cast<int>((half >> 5) & 31), static_cast<int>(half >> 10)};
}

// True when the moment lies before the term of its own year and month.
bool BeforeTerm(const DateRecord& t, int month, int which) {
    const TermTime term = TermOf(t.year, month, which);
    if (t.day != term.day) return t.day < term.day;
    if (t.hour != term.hour) return t.hour < term.hour;
    return t.minute < term.minute;
}

// Days since 1970-01-01 in the proleptic Gregorian calendar.
constexpr long DaysFromCivil(long y, int m, int d) {
    y -= m <= 2;
    const long era = (y >= 0 ? y : y - 399) / 400;
    const long yoe = y - era * 400;
    const long doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const long doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468;
}

constexpr long kDay1583 = DaysFromCivil(1583, 1, 1);

}  // namespace

int SolarMonthLength(int year, int month) {
    static constexpr int kLengths[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (month == 2 && IsLeapYear(year)) return 29;
    return kLengths[month - 1];
}

bool IsBefore(const DateRecord& a, const DateRecord& b) {
    if (a.year != b.year) return a.year < b.year;
    if (a.month != b.month) return a.month < b.month;
    if (a.day != b.day) return a.day < b.day;
    if (a.hour != b.hour) return a.hour < b.hour;
    return a.minute < b.minute;
}

std::uint8_t CYiDate::SolarToLunar(const DateRecord& solar, DateRecord& lunar) const {
    lunar.hour = solar.hour;
    lunar.minute = solar.minute;
    if (!IsSupportedYear(solar.year) || solar.month < 1 || solar.month > 12 || solar.day < 1 || solar.day > 31) {
        lunar.year = lunar.month = lunar.day = 0;
        return 0;
    }
    if (solar.day >= 30) {
        for (int i = 0; i < kSolarDirectAnswerCount; ++i) {
            const SolarDirectAnswer& a = kSolarDirectAnswers[i];
            if (a.gregorian.year == solar.year && a.gregorian.month == solar.month && a.gregorian.day == solar.day) {
                lunar.year = a.lunar.year;
                lunar.month = a.lunar.month;
                lunar.day = a.lunar.day;
                return a.leap;
            }
        }
    }
    const std::uint32_t w = SolarToLunarTable[solar.year - kFirstYear][solar.month - 1];
    const int split = w & 31;
    int month;
    std::uint8_t leap;
    if (split < solar.day) {
        lunar.day = static_cast<std::int16_t>(solar.day - split);
        month = solar.month - static_cast<int>((w >> 5) & 3);
        leap = (w >> 7) & 1;
    } else {
        lunar.day = static_cast<std::int16_t>(solar.day + ((w >> 8) & 31));
        month = solar.month - static_cast<int>((w >> 13) & 3);
        leap = (w >> 15) & 1;
    }
    if (month < 1) {
        lunar.month = static_cast<std::int16_t>(month + 12);
        lunar.year = static_cast<std::int16_t>(solar.year - 1);
    } else {
        lunar.month = static_cast<std::int16_t>(month);
        lunar.year = solar.year;
    }
    return leap;
}

bool CYiDate::LunarToSolar(const DateRecord& lunar, DateRecord& solar, bool leap, std::string& message) const {
    message.clear();
    solar.hour = lunar.hour;
    solar.minute = lunar.minute;
    if (!IsSupportedYear(lunar.year)) {
        message = kYearRangeText;
        return false;
    }
    if (lunar.day >= 31 || lunar.day < 1 || lunar.month < 1 || lunar.month > 12) {
        message = kNoSuchLunarDay;
        return false;
    }
    for (int i = 0; i < kLunarDirectAnswerCount; ++i) {
        const LunarDirectAnswer& a = kLunarDirectAnswers[i];
        if (a.lunar.year == lunar.year && a.lunar.month == lunar.month && a.lunar.day == lunar.day &&
            a.leap == static_cast<std::uint8_t>(leap)) {
            solar.year = a.gregorian.year;
            solar.month = a.gregorian.month;
            solar.day = a.gregorian.day;
            return true;
        }
    }
    const std::uint32_t w = LunarToSolarTable[lunar.year - kFirstYear][lunar.month - 1];
    if (leap && (w >> 31) == 0) {
        message = fmt::format("此年没有闰{}月,请重新确定月份！", lunar.month);
        return false;
    }
    const std::uint32_t h = leap ? (w >> 16) : (w & 0xffff);
    const int big = (h >> 7) & 1;
    if (lunar.day > 29 + big) {
        message = kNoSuchLunarDay;
        return false;
    }
    const int startDay = h & 31, startLead = (h >> 5) & 3, inFirst = (h >> 8) & 31, nextLead = (h >> 13) & 3;
    int day, month;
    if (inFirst != 0 && inFirst < lunar.day) {
        day = lunar.day - inFirst;
        month = lunar.month + nextLead;
    } else if (startDay == 0 && startLead == 0 && lunar.day == inFirst) {
        day = 31;  // a lunar month that begins on the 31st
        month = lunar.month;
    } else {
        day = lunar.day + startDay;
        month = lunar.month + startLead;
    }
    solar.year = lunar.year;
    if (month > 12) {
        month -= 12;
        ++solar.year;
    }
    solar.month = static_cast<std::int16_t>(month);
    solar.day = static_cast<std::int16_t>(day);
    return true;
}

bool CYiDate::IsValidSolarDate(const DateRecord& date) const {
    if (date.year < -849 || date.year > 2100) return false;
    if (date.month < 1 || date.month > 12 || date.day < 1) return false;
    return date.day <= SolarMonthLength(date.year, date.month);
}

void CYiDate::AddOneDay(DateRecord& date) const { FromJulianDay(JulianDay(date) + 1.0, date); }

double CYiDate::JulianDay(const DateRecord& date) const {
    double y = date.year, m = date.month;
    if (m <= 2) {
        y -= 1;
        m += 12;
    }
    const bool gregorian = (date.year > 1582) || (date.year == 1582 && date.month > 10) ||
                           (date.year == 1582 && date.month == 10 && date.day >= 15);
    double b = 0;
    if (gregorian) {
        const double a = std::floor(y / 100);
        b = 2 - a + std::floor(a / 4);
    }
    return std::floor(365.25 * (y + 4716)) + std::floor(30.6001 * (m + 1)) + date.day + b - 1524.5 + date.hour / 24.0 +
           date.minute / 1440.0;
}

void CYiDate::FromJulianDay(double jd, DateRecord& date) const {
    const long long minutes = std::llround((jd + 0.5) * 1440.0);
    long long z = minutes / 1440, minuteOfDay = minutes % 1440;
    if (minuteOfDay < 0) {
        minuteOfDay += 1440;
        --z;
    }
    double a = static_cast<double>(z);
    if (z >= 2299161) {
        const double alpha = std::floor((z - 1867216.25) / 36524.25);
        a = z + 1 + alpha - std::floor(alpha / 4);
    }
    const double b = a + 1524;
    const double c = std::floor((b - 122.1) / 365.25);
    const double d = std::floor(365.25 * c);
    const double e = std::floor((b - d) / 30.6001);
    const int day = static_cast<int>(b - d - std::floor(30.6001 * e));
    const int month = static_cast<int>(e < 14 ? e - 1 : e - 13);
    const int year = static_cast<int>(month > 2 ? c - 4716 : c - 4715);
    date.year = static_cast<std::int16_t>(year);
    date.month = static_cast<std::int16_t>(month);
    date.day = static_cast<std::int16_t>(day);
    date.hour = static_cast<std::int16_t>(minuteOfDay / 60);
    date.minute = static_cast<std::int16_t>(minuteOfDay % 60);
}

std::string CYiDate::ChineseNumeral(int n) const {
    static constexpr const char* kDigits[10] = {"", "一", "二", "三", "四", "五", "六", "七", "八", "九"};
    if (n < 1 || n > 30) return {};
    if (n < 10) return kDigits[n];
    if (n == 10) return "十";
    if (n < 20) return std::string("十") + kDigits[n - 10];
    if (n == 20) return "二十";
    if (n < 30) return std::string("廿") + kDigits[n - 20];
    return "三十";
}

GanZhi CYiDate::CombineStemBranch(Stem stem, Branch branch) const {
    int v = stem - branch;
    if (v < 0) v += 12;
    return stem + 10 * (v / 2);
}

void CYiDate::SolarTermMoment(int year, int month, int which, DateRecord& moment) const {
    const TermTime t = TermOf(year, month, which);
    moment.year = static_cast<std::int16_t>(year);
    moment.month = static_cast<std::int16_t>(month);
    moment.day = static_cast<std::int16_t>(t.day);
    moment.hour = static_cast<std::int16_t>(t.hour);
    moment.minute = static_cast<std::int16_t>(t.minute);
}

void CYiDate::TrueSolarTime(float longitude, DateRecord& date) const {
    if (!IsValidLongitude(longitude)) return;  // the minutes below would not fit an int
    DateRecord newYear = date;
    newYear.month = 1;
    newYear.day = 1;
    const double jd = JulianDay(date);
    const int dayOfYear = static_cast<int>(std::floor(jd - JulianDay(newYear) + 0.2));
    const int equation = static_cast<int>(EquationOfTimeTable[mod(dayOfYear, 366)]);  // cut toward zero
    const int lag = static_cast<int>(std::floor((120.0 - static_cast<double>(longitude)) * 4.0));
    FromJulianDay(jd + (equation - lag) / 1440.0, date);
}

GanZhi YearPillar(const DateRecord& moment) {
    int year = moment.year;
    if (moment.month < 2 || (moment.month == 2 && BeforeTerm(moment, 2, 1))) --year;
    return mod(year - 1863, 60);
}

GanZhi MonthPillar(const DateRecord& moment, GanZhi yearPillar) {
    int m = moment.month;
    if (BeforeTerm(moment, m, 1)) --m;
    if (m <= 1) m += 12;
    return MonthPillarOfNumber(m, yearPillar);
}

GanZhi MonthPillarOfNumber(int monthNumber, GanZhi yearPillar) {
    const Branch branch = mod(monthNumber + 1, 12);
    const Stem stem = mod(monthNumber + 2 * (yearPillar % 10) - 1, 10);
    return CYiDate().CombineStemBranch(stem, branch);
}

GanZhi LunarYearPillar(int lunarYear) { return mod(lunarYear - 1863, 60); }

GanZhi LunarMonthPillar(int lunarMonth, GanZhi lunarYearPillar) {
    int m = (lunarMonth + 1) % 12;
    if (m <= 1) m += 12;
    return MonthPillarOfNumber(m, lunarYearPillar);
}

GanZhi DayPillar(const DateRecord& date) {
    const long n = DaysFromCivil(date.year, date.month, date.day) - kDay1583;
    int pillar = static_cast<int>(((n + 29) % 60 + 60) % 60);
    if (date.hour == 23) pillar = (pillar + 1) % 60;
    return pillar;
}

GanZhi HourPillar(int hour, GanZhi dayPillar) {
    const int k = DoubleHourOf(hour);
    int ds = dayPillar % 10;
    if (ds == 0) ds = 5;
    const Stem stem = mod(2 * ds + k - 1, 10);
    const Branch branch = (k + 1) % 12;
    return CYiDate().CombineStemBranch(stem, branch);
}

namespace {

DateRecord RecordOf(const CastingTime& e) { return {e.year, e.month, e.day, e.hour, e.minute}; }

}  // namespace

CastingTime GregorianCastingTime(const DateRecord& g) {
    return CastingTime{g.year, g.month, g.day, g.hour, g.minute, 0, 0};
}

CastingTime CastingTimeNow() {
    const LocalDateTime now = appClock().now();
    return GregorianCastingTime(DateRecord{static_cast<std::int16_t>(std::min(now.year, kLastYear)),
                                           static_cast<std::int16_t>(now.month), static_cast<std::int16_t>(now.day),
                                           static_cast<std::int16_t>(now.hour), static_cast<std::int16_t>(now.minute)});
}

bool DateCastingTime(const CastingTime& entry, float longitude, DatedMoment& out, std::string& error) {
    error.clear();
    const CYiDate calendar;
    if (!(longitude <= -500.0f) && !IsValidLongitude(longitude)) {  // NaN does not mean "none given"
        error = kLongitudeRangeText;
        return false;
    }
    if (!IsSupportedYear(entry.year)) {
        error = kYearRangeText;
        return false;
    }
    const DateRecord e = RecordOf(entry);
    DateRecord g;
    if (entry.lunar) {
        // A clock time that does not exist is refused like a day that does not exist.
        if (!IsValidClock(e)) {
            error = kNoSuchLunarDay;
            return false;
        }
        if (!calendar.LunarToSolar(e, g, entry.leap != 0, error)) return false;
        if (!IsSupportedYear(g.year)) {
            error = kOutOfRangeText;
            return false;
        }
    } else {
        if (!calendar.IsValidSolarDate(e) || !IsValidClock(e)) {
            error = kNoSuchDate;
            return false;
        }
        g = e;
    }
    const DateRecord t = g;
    if (IsGivenPosition(longitude)) calendar.TrueSolarTime(longitude, g);

    DateRecord r = g;
    if (g.hour == 23) calendar.AddOneDay(r);
    if (!IsSupportedYear(r.year)) {
        error = kOutOfRangeText;
        return false;
    }
    out.moment = t;
    out.gregorian = g;
    out.leap = calendar.SolarToLunar(r, out.lunar);
    out.pillars.year = YearPillar(t);
    out.pillars.month = MonthPillar(t, out.pillars.year);
    out.pillars.day = DayPillar(g);
    out.pillars.hour = HourPillar(g.hour, out.pillars.day);
    return true;
}

// ---- moments written as text

namespace {

// Reads between minDigits and maxDigits decimal digits at text[pos].
std::optional<int> readNumber(std::string_view text, std::size_t& pos, int minDigits, int maxDigits) {
    int value = 0;
    int digits = 0;
    while (pos < text.size() && digits < maxDigits && std::isdigit(static_cast<unsigned char>(text[pos]))) {
        value = value * 10 + (text[pos] - '0');
        ++pos;
        ++digits;
    }
    if (digits < minDigits) return std::nullopt;
    return value;
}

bool expect(std::string_view text, std::size_t& pos, char ch) {
    if (pos >= text.size() || text[pos] != ch) return false;
    ++pos;
    return true;
}

}  // namespace

std::optional<DateRecord> ParseMomentText(std::string_view text) {
    std::size_t pos = 0;
    const auto year = readNumber(text, pos, 4, 4);
    if (!year || !expect(text, pos, '-')) return std::nullopt;
    const auto month = readNumber(text, pos, 1, 2);
    if (!month || !expect(text, pos, '-')) return std::nullopt;
    const auto day = readNumber(text, pos, 1, 2);
    if (!day || !expect(text, pos, ' ')) return std::nullopt;
    const auto hour = readNumber(text, pos, 1, 2);
    if (!hour || !expect(text, pos, ':')) return std::nullopt;
    const auto minute = readNumber(text, pos, 1, 2);
    if (!minute || pos != text.size()) return std::nullopt;
    if (*month < 1 || *month > 12 || *day < 1 || *day > 31 || *hour > 23 || *minute > 59) return std::nullopt;
    DateRecord d;
    d.year = static_cast<std::int16_t>(*year);
    d.month = static_cast<std::int16_t>(*month);
    d.day = static_cast<std::int16_t>(*day);
    d.hour = static_cast<std::int16_t>(*hour);
    d.minute = static_cast<std::int16_t>(*minute);
    return d;
}

}  // namespace qingheng
