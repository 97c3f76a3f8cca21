// Gregorian ⇄ lunar conversion, day counts and the packed tables, checked against known
// calendar facts and against each other over the whole range.
#include <gtest/gtest.h>

#include <string>

#include "calendar/Yidate.h"

using namespace qingheng;

namespace {

DateRecord D(int y, int m, int d, int h = 0, int mi = 0) {
    return {static_cast<std::int16_t>(y), static_cast<std::int16_t>(m), static_cast<std::int16_t>(d),
            static_cast<std::int16_t>(h), static_cast<std::int16_t>(mi)};
}

struct Lunar {
    DateRecord date;
    int leap;
};

Lunar ToLunar(const DateRecord& g) {
    Lunar l;
    l.leap = CYiDate().SolarToLunar(g, l.date);
    return l;
}

DateRecord ToSolar(int y, int m, int d, bool leap = false) {
    DateRecord out;
    std::string message;
    EXPECT_TRUE(CYiDate().LunarToSolar(D(y, m, d), out, leap, message)) << y << "/" << m << "/" << d << " " << message;
    return out;
}

std::string LunarFailure(int y, int m, int d, bool leap) {
    DateRecord out;
    std::string message;
    EXPECT_FALSE(CYiDate().LunarToSolar(D(y, m, d), out, leap, message));
    return message;
}

}  // namespace

TEST(LunarConversion, EveryDayRoundTripsAndMonthsAreWhole) {
    const CYiDate cal;
    DateRecord g = D(1900, 1, 1, 12, 30);
    Lunar prev = ToLunar(g);
    EXPECT_EQ(prev.date, D(1899, 12, 1, 12, 30));
    int days = 0, monthLength = prev.date.day;
    while (!(g.year == 2051)) {
        const Lunar l = ToLunar(g);
        ASSERT_GE(l.date.day, 1) << g.year << "-" << g.month << "-" << g.day;
        if (l.date.year >= kFirstYear) {
            DateRecord back;
            std::string message;
            ASSERT_TRUE(cal.LunarToSolar(l.date, back, l.leap != 0, message)) << message;
            ASSERT_EQ(back, g) << "round trip of " << g.year << "-" << g.month << "-" << g.day;
        }
        if (days > 0) {
            if (l.date.day == 1) {
                ASSERT_TRUE(monthLength == 29 || monthLength == 30) << g.year << "-" << g.month << "-" << g.day;
                // the next month: the leap month of the same number, or the next number
                const bool toLeap = l.leap && l.date.month == prev.date.month && !prev.leap;
                const bool toNext = !l.leap && l.date.month == prev.date.month % 12 + 1;
                ASSERT_TRUE(toLeap || toNext) << g.year << "-" << g.month << "-" << g.day;
                if (l.date.month == 1 && !l.leap) {
                    ASSERT_EQ(l.date.year, prev.date.year + 1);
                }
                monthLength = 1;
            } else {
                ASSERT_EQ(l.date.day, prev.date.day + 1) << g.year << "-" << g.month << "-" << g.day;
                ASSERT_EQ(l.date.month, prev.date.month);
                ASSERT_EQ(l.leap, prev.leap);
                ++monthLength;
            }
        }
        prev = l;
        cal.AddOneDay(g);
        ++days;
    }
    EXPECT_EQ(days, 55152);  // 1900-01-01 to 2050-12-31
}

TEST(LunarConversion, NewYearDaysMatchTheAlmanac) {
    const DateRecord newYears[] = {D(1900, 1, 31), D(1912, 2, 18), D(1949, 1, 29), D(1950, 2, 17), D(1976, 1, 31),
                                   D(1985, 2, 20), D(2000, 2, 5),  D(2008, 2, 7),  D(2020, 1, 25), D(2023, 1, 22),
                                   D(2024, 2, 10), D(2033, 1, 31), D(2050, 1, 23)};
    for (const DateRecord& g : newYears) {
        const Lunar l = ToLunar(g);
        EXPECT_EQ(l.date, D(g.year, 1, 1)) << g.year;
        EXPECT_EQ(l.leap, 0);
        EXPECT_EQ(ToSolar(g.year, 1, 1), g);
    }
}

TEST(LunarConversion, MonthsBeginOnTheBeijingNewMoonDay) {
    // new moons a few minutes after midnight in UTC+8
    EXPECT_EQ(ToLunar(D(1914, 11, 18)).date, D(1914, 10, 1));
    EXPECT_EQ(ToLunar(D(1914, 11, 17)).date, D(1914, 9, 30));
    EXPECT_EQ(ToLunar(D(1916, 2, 4)).date, D(1916, 1, 1));
    EXPECT_EQ(ToLunar(D(1916, 2, 3)).date, D(1915, 12, 30));
    EXPECT_EQ(ToLunar(D(1920, 11, 11)).date, D(1920, 10, 1));
    // lunar 2033 has a leap eleventh month
    const Lunar leap11 = ToLunar(D(2033, 12, 22));
    EXPECT_EQ(leap11.date, D(2033, 11, 1));
    EXPECT_EQ(leap11.leap, 1);
    EXPECT_EQ(ToSolar(2033, 11, 1, true), D(2033, 12, 22));
}

TEST(LunarConversion, WorkedExamples) {
    EXPECT_EQ(ToLunar(D(2000, 2, 4)).date, D(1999, 12, 29));
    EXPECT_EQ(ToLunar(D(2023, 1, 21)).date, D(2022, 12, 30));
    EXPECT_EQ(ToSolar(2023, 2, 1), D(2023, 2, 20));
    EXPECT_EQ(ToSolar(2023, 2, 1, true), D(2023, 3, 22));
    EXPECT_EQ(ToSolar(2023, 2, 11, true), D(2023, 4, 1));
    const Lunar a = ToLunar(D(2023, 3, 22)), b = ToLunar(D(2023, 4, 19));
    EXPECT_EQ(a.date, D(2023, 2, 1));
    EXPECT_EQ(a.leap, 1);
    EXPECT_EQ(b.date, D(2023, 2, 29));
    EXPECT_EQ(b.leap, 1);
    EXPECT_EQ(ToLunar(D(2023, 4, 20)).date, D(2023, 3, 1));
    // hour and minute travel unchanged both ways
    EXPECT_EQ(ToLunar(D(2024, 2, 10, 7, 45)).date, D(2024, 1, 1, 7, 45));
    DateRecord g;
    std::string message;
    ASSERT_TRUE(CYiDate().LunarToSolar(D(2024, 1, 1, 21, 5), g, false, message));
    EXPECT_EQ(g, D(2024, 2, 10, 21, 5));
    // the twelfth month of 2050 runs into 2051
    EXPECT_EQ(ToSolar(2050, 12, 29).year, 2051);
}

TEST(LunarConversion, MonthsWithTwoNewMoonsAnswerBothStarts) {
    // Gregorian months in which lunar months begin on the 2nd and on the 31st
    EXPECT_EQ(ToLunar(D(1986, 12, 31)).date, D(1986, 12, 1));
    EXPECT_EQ(ToLunar(D(1986, 12, 30)).date, D(1986, 11, 29));
    EXPECT_EQ(ToLunar(D(1986, 12, 2)).date, D(1986, 11, 1));
    EXPECT_EQ(ToLunar(D(2000, 7, 31)).date, D(2000, 7, 1));
    EXPECT_EQ(ToLunar(D(2000, 8, 1)).date, D(2000, 7, 2));
    EXPECT_EQ(ToSolar(2000, 7, 1), D(2000, 7, 31));
    EXPECT_EQ(ToSolar(2000, 7, 2), D(2000, 8, 1));
    const int starts[][2] = {{1902, 10}, {1938, 1}, {1957, 3},  {1962, 7}, {1967, 12},
                             {1981, 7},  {1989, 8}, {1997, 10}, {2049, 5}};
    for (const auto& ym : starts) {
        EXPECT_EQ(ToLunar(D(ym[0], ym[1], 2)).date.day, 1) << ym[0] << "-" << ym[1];
        EXPECT_EQ(ToLunar(D(ym[0], ym[1], 31)).date.day, 1) << ym[0] << "-" << ym[1];
    }
}

TEST(LunarConversion, FirstMonthsThatTouchThreeGregorianMonths) {
    EXPECT_EQ(ToSolar(1938, 1, 30), D(1938, 3, 1));
    EXPECT_EQ(ToSolar(1938, 1, 29), D(1938, 2, 28));
    EXPECT_EQ(ToLunar(D(1938, 3, 1)).date, D(1938, 1, 30));
    EXPECT_EQ(ToSolar(1957, 1, 30), D(1957, 3, 1));
    EXPECT_EQ(ToLunar(D(1957, 3, 1)).date, D(1957, 1, 30));
}

TEST(LunarConversion, RefusedLunarDatesKeepTheirMessages) {
    EXPECT_EQ(LunarFailure(2020, 4, 30, true), "不存在这个日期,请重新输入！");
    EXPECT_EQ(ToSolar(2020, 4, 29, true), D(2020, 6, 20));
    EXPECT_EQ(LunarFailure(2000, 4, 1, true), "此年没有闰4月,请重新确定月份！");
    EXPECT_EQ(LunarFailure(2024, 1, 31, false), "不存在这个日期,请重新输入！");
    EXPECT_EQ(LunarFailure(2024, 1, 0, false), "不存在这个日期,请重新输入！");
    EXPECT_EQ(LunarFailure(2024, 13, 1, false), "不存在这个日期,请重新输入！");
    EXPECT_EQ(LunarFailure(1899, 12, 1, false), "年份在1900-2050之间");
    EXPECT_EQ(LunarFailure(2051, 1, 1, false), "年份在1900-2050之间");
}

TEST(PackedTables, TellingRowsDecode) {
    const std::uint32_t s1900[12] = {0x201e, 0x211f, 0x201e, 0x211c, 0x221b, 0x241a,
                                     0x2419, 0x2618, 0x27b7, 0xc736, 0x4935, 0x4935};
    const std::uint32_t s2023[12] = {0x2915, 0x2a13, 0x29b5, 0xca33, 0x4b32, 0x4d31,
                                     0x4d31, 0x4e2f, 0x502e, 0x502e, 0x512c, 0x522c};
    const std::uint32_t l1900[12] = {0x211e, 0xa0,       0x211e, 0x221c, 0x249b, 0x241a,
                                     0x2699, 0xc7372798, 0x49b6, 0x49b5, 0x4a35, 0x4cb3};
    const std::uint32_t l2023[12] = {0x2a15, 0xca352993, 0x4b33, 0x4db2, 0x4db1, 0x4e31,
                                     0x50af, 0x50ae,     0x512e, 0x52ac, 0x532c, 0x55aa};
    for (int m = 0; m < 12; ++m) {
        EXPECT_EQ(SolarToLunarTable[0][m], s1900[m]) << m;
        EXPECT_EQ(SolarToLunarTable[2023 - kFirstYear][m], s2023[m]) << m;
        EXPECT_EQ(LunarToSolarTable[0][m], l1900[m]) << m;
        EXPECT_EQ(LunarToSolarTable[2023 - kFirstYear][m], l2023[m]) << m;
    }
    // 1900 had a leap eighth month, 2023 a leap second month: the only leap bits of those rows
    for (int m = 0; m < 12; ++m) {
        EXPECT_EQ(LunarToSolarTable[0][m] >> 31, m == 7 ? 1u : 0u);
        EXPECT_EQ(LunarToSolarTable[2023 - kFirstYear][m] >> 31, m == 1 ? 1u : 0u);
    }
}

TEST(PackedTables, EveryYearHasAtMostOneLeapMonth) {
    int leapYears = 0;
    for (int y = 0; y < kTableYears; ++y) {
        int leaps = 0;
        for (int m = 0; m < 12; ++m) leaps += LunarToSolarTable[y][m] >> 31;
        ASSERT_LE(leaps, 1) << kFirstYear + y;
        leapYears += leaps;
    }
    // seven leap months in every nineteen years
    EXPECT_NEAR(leapYears, 151 * 7 / 19, 2);
}

TEST(DayCount, JulianDaysAcrossTheCalendarReform) {
    const CYiDate cal;
    EXPECT_DOUBLE_EQ(cal.JulianDay(D(2000, 1, 1)), 2451544.5);
    EXPECT_DOUBLE_EQ(cal.JulianDay(D(2000, 1, 1, 12, 0)), 2451545.0);
    EXPECT_DOUBLE_EQ(cal.JulianDay(D(1582, 10, 15)), 2299160.5);
    EXPECT_DOUBLE_EQ(cal.JulianDay(D(1582, 10, 4)), 2299159.5);
    DateRecord r;
    cal.FromJulianDay(2299160.5, r);
    EXPECT_EQ(r, D(1582, 10, 15));
    cal.FromJulianDay(2299159.5, r);
    EXPECT_EQ(r, D(1582, 10, 4));
    // the inverse holds to the minute
    for (const DateRecord& d : {D(1900, 1, 1, 0, 0), D(1999, 12, 31, 23, 59), D(2024, 2, 29, 13, 7),
                                D(1500, 2, 29, 6, 1), D(2050, 12, 31, 23, 10)}) {
        cal.FromJulianDay(cal.JulianDay(d), r);
        EXPECT_EQ(r, d);
    }
}

TEST(DayCount, AddOneDayRollsMonthsAndYears) {
    const CYiDate cal;
    DateRecord r = D(1999, 12, 31, 23, 30);
    cal.AddOneDay(r);
    EXPECT_EQ(r, D(2000, 1, 1, 23, 30));
    r = D(2000, 2, 28, 5, 5);
    cal.AddOneDay(r);
    EXPECT_EQ(r, D(2000, 2, 29, 5, 5));
    r = D(1900, 2, 28);
    cal.AddOneDay(r);
    EXPECT_EQ(r, D(1900, 3, 1));
}

TEST(DayCount, ValidityFollowsJulianAndGregorianRules) {
    const CYiDate cal;
    EXPECT_FALSE(cal.IsValidSolarDate(D(1900, 2, 29)));
    EXPECT_TRUE(cal.IsValidSolarDate(D(2000, 2, 29)));
    EXPECT_TRUE(cal.IsValidSolarDate(D(1500, 2, 29)));
    EXPECT_FALSE(cal.IsValidSolarDate(D(2023, 2, 29)));
    EXPECT_FALSE(cal.IsValidSolarDate(D(2024, 4, 31)));
    EXPECT_TRUE(cal.IsValidSolarDate(D(2024, 12, 31)));
    EXPECT_FALSE(cal.IsValidSolarDate(D(2024, 13, 1)));
    EXPECT_FALSE(cal.IsValidSolarDate(D(2024, 0, 1)));
    EXPECT_FALSE(cal.IsValidSolarDate(D(2024, 1, 0)));
    EXPECT_FALSE(cal.IsValidSolarDate(D(2101, 1, 1)));
    EXPECT_FALSE(cal.IsValidSolarDate(D(-850, 1, 1)));
}

TEST(Numerals, OneToThirty) {
    const CYiDate cal;
    EXPECT_EQ(cal.ChineseNumeral(1), "一");
    EXPECT_EQ(cal.ChineseNumeral(9), "九");
    EXPECT_EQ(cal.ChineseNumeral(10), "十");
    EXPECT_EQ(cal.ChineseNumeral(11), "十一");
    EXPECT_EQ(cal.ChineseNumeral(20), "二十");
    EXPECT_EQ(cal.ChineseNumeral(21), "廿一");
    EXPECT_EQ(cal.ChineseNumeral(29), "廿九");
    EXPECT_EQ(cal.ChineseNumeral(30), "三十");
    EXPECT_EQ(cal.ChineseNumeral(0), "");
    EXPECT_EQ(cal.ChineseNumeral(31), "");
}

TEST(PackedTables, LeapMonthsOfKnownYears) {
    const int known[][2] = {{1900, 8}, {1984, 10}, {1987, 6}, {1990, 5}, {1993, 3}, {1995, 8}, {1998, 5},
                            {2001, 4}, {2004, 2},  {2006, 7}, {2009, 5}, {2012, 4}, {2014, 9}, {2017, 6},
                            {2020, 4}, {2023, 2},  {2025, 6}, {2028, 5}, {2033, 11}};
    for (const auto& yl : known) {
        for (int m = 1; m <= 12; ++m) {
            const bool leap = (LunarToSolarTable[yl[0] - kFirstYear][m - 1] >> 31) != 0;
            EXPECT_EQ(leap, m == yl[1]) << yl[0] << " month " << m;
        }
    }
    for (const int year : {1999, 2000, 2002, 2003, 2005, 2024}) {
        for (int m = 0; m < 12; ++m) EXPECT_EQ(LunarToSolarTable[year - kFirstYear][m] >> 31, 0u) << year;
    }
}

TEST(DayCount, DayPillarAdvancesOneStepADay) {
    const CYiDate cal;
    DateRecord g{1900, 1, 1, 12, 0};
    GanZhi prev = DayPillar(g);
    for (int i = 0; i < 55152; ++i) {
        cal.AddOneDay(g);
        const GanZhi now = DayPillar(g);
        ASSERT_EQ(now, (prev + 1) % 60) << g.year << "-" << g.month << "-" << g.day;
        prev = now;
    }
    EXPECT_EQ(g.year, 2051);
}
