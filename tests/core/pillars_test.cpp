// Solar-term moments, true solar time, the four pillars and the dating of a casting time.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

#include "calendar/Yidate.h"
#include "platform/Clock.h"

using namespace qingheng;

namespace {

DateRecord D(int y, int m, int d, int h = 0, int mi = 0) {
    return {static_cast<std::int16_t>(y), static_cast<std::int16_t>(m), static_cast<std::int16_t>(d),
            static_cast<std::int16_t>(h), static_cast<std::int16_t>(mi)};
}

std::string Name(GanZhi g) { return std::string(StemName(StemOf(g))) + std::string(BranchName(BranchOf(g))); }

DateRecord Term(int y, int m, int which) {
    DateRecord r;
    CYiDate().SolarTermMoment(y, m, which, r);
    return r;
}

CastingTime Entry(int y, int m, int d, int h, int mi, bool lunar = false, bool leap = false) {
    CastingTime e;
    e.year = static_cast<std::int16_t>(y);
    e.month = static_cast<std::int16_t>(m);
    e.day = static_cast<std::int16_t>(d);
    e.hour = static_cast<std::int16_t>(h);
    e.minute = static_cast<std::int16_t>(mi);
    e.lunar = lunar;
    e.leap = leap;
    return e;
}

std::string DatingError(const CastingTime& e, float longitude = kNoPosition) {
    DatedMoment out;
    std::string error = "stale";
    EXPECT_FALSE(DateCastingTime(e, longitude, out, error));
    return error;
}

DatedMoment Dated(const CastingTime& e, float longitude = kNoPosition) {
    DatedMoment out;
    std::string error = "stale";
    EXPECT_TRUE(DateCastingTime(e, longitude, out, error)) << error;
    EXPECT_EQ(error, "");
    return out;
}

}  // namespace

TEST(SolarTerms, StoredRowsDecode) {
    EXPECT_EQ(Term(2024, 2, 1), D(2024, 2, 4, 16, 27));
    EXPECT_EQ(Term(2024, 2, 2), D(2024, 2, 19, 12, 13));
    EXPECT_EQ(Term(2024, 1, 1), D(2024, 1, 6, 4, 50));
    EXPECT_EQ(Term(2024, 1, 2), D(2024, 1, 20, 22, 8));
    EXPECT_EQ(Term(1900, 1, 1), D(1900, 1, 6, 2, 4));
    EXPECT_EQ(SolarTermTable[2050 - kFirstYear][11], 0x9c16a8c7u);
    EXPECT_STREQ(kSolarTermNames[2], "立春");
    EXPECT_STREQ(kSolarTermNames[23], "冬至");
}

TEST(SolarTerms, KnownMomentsOfOtherYears) {
    EXPECT_EQ(Term(2000, 2, 1), D(2000, 2, 4, 20, 40));     // 立春 2000
    EXPECT_EQ(Term(2023, 12, 2), D(2023, 12, 22, 11, 27));  // 冬至 2023
}

TEST(SolarTerms, EveryMonthHoldsTwoOrderedTermsInTheirUsualDays) {
    for (int y = kFirstYear; y <= kLastYear; ++y) {
        for (int m = 1; m <= 12; ++m) {
            const DateRecord a = Term(y, m, 1), b = Term(y, m, 2);
            ASSERT_TRUE(IsBefore(a, b)) << y << "-" << m;
            ASSERT_GE(a.day, 3) << y << "-" << m;
            ASSERT_LE(a.day, 9) << y << "-" << m;
            ASSERT_GE(b.day, 18) << y << "-" << m;
            ASSERT_LE(b.day, 24) << y << "-" << m;
            ASSERT_LE(a.hour, 23);
            ASSERT_LE(b.minute, 59);
        }
    }
}

TEST(TrueSolarTime, LongitudeAndEquationOfTime) {
    const CYiDate cal;
    DateRecord r = D(2023, 1, 1, 12, 10);
    cal.TrueSolarTime(116.4f, r);  // -3 - floor(14.4)
    EXPECT_EQ(r, D(2023, 1, 1, 11, 53));
    r = D(2023, 11, 3, 12, 0);
    cal.TrueSolarTime(120.0f, r);  // index 306: 16.36
    EXPECT_EQ(r, D(2023, 11, 3, 12, 16));
    r = D(2023, 1, 1, 12, 0);
    cal.TrueSolarTime(130.0f, r);  // 40 minutes ahead, -3 for the equation
    EXPECT_EQ(r, D(2023, 1, 1, 12, 37));
    r = D(2023, 1, 1, 0, 5);
    cal.TrueSolarTime(116.4f, r);  // crosses midnight backwards
    EXPECT_EQ(r, D(2022, 12, 31, 23, 48));
    // the listed odd entries are used as they stand
    EXPECT_DOUBLE_EQ(EquationOfTimeTable[189], -5.9);
    EXPECT_DOUBLE_EQ(EquationOfTimeTable[252], 3.5);
    r = D(2024, 7, 8, 12, 0);  // leap year, index 189
    cal.TrueSolarTime(120.0f, r);
    EXPECT_EQ(r, D(2024, 7, 8, 11, 55));
}

TEST(TrueSolarTime, OnlyLongitudesOnTheGlobeAreTaken) {
    // 2024-02-10 (index 40: -14.3, so -14 minutes) at the two edges of the globe: 180° east is
    // 240 minutes ahead of Beijing, 180° west 1 200 minutes behind.
    EXPECT_EQ(Dated(Entry(2024, 2, 10, 9, 30), 180.0f).gregorian, D(2024, 2, 10, 13, 16));
    EXPECT_EQ(Dated(Entry(2024, 2, 10, 9, 30), -180.0f).gregorian, D(2024, 2, 9, 13, 16));
    EXPECT_EQ(Dated(Entry(2024, 2, 10, 9, 30), -500.0f).gregorian, D(2024, 2, 10, 9, 30));  // none given
    const float inf = std::numeric_limits<float>::infinity();
    for (const float longitude : {180.01f, -180.01f, 99999.0f, -499.0f, inf, std::nanf("")}) {
        EXPECT_EQ(DatingError(Entry(2024, 2, 10, 9, 30), longitude), kLongitudeRangeText) << longitude;
        DateRecord r = D(2024, 2, 10, 9, 30);
        CYiDate().TrueSolarTime(longitude, r);  // never a float turned into an int it cannot hold
        EXPECT_EQ(r, D(2024, 2, 10, 9, 30)) << longitude;
    }
}

TEST(Pillars, YearAndMonthTurnAtTheTerms) {
    EXPECT_EQ(YearPillar(D(2024, 2, 4, 16, 26)), 40);
    EXPECT_EQ(Name(MonthPillar(D(2024, 2, 4, 16, 26), 40)), "乙丑");
    EXPECT_EQ(YearPillar(D(2024, 2, 4, 16, 27)), 41);
    EXPECT_EQ(Name(MonthPillar(D(2024, 2, 4, 16, 27), 41)), "丙寅");
    EXPECT_EQ(Name(MonthPillar(D(2024, 1, 5, 12, 0), YearPillar(D(2024, 1, 5, 12, 0)))), "甲子");
    EXPECT_EQ(Name(MonthPillar(D(2024, 1, 6, 12, 0), YearPillar(D(2024, 1, 6, 12, 0)))), "乙丑");
    EXPECT_EQ(YearPillar(D(1984, 6, 1)), 1);
    EXPECT_EQ(YearPillar(D(1983, 6, 1)), 0);
    EXPECT_EQ(Name(YearPillar(D(1949, 10, 1))), "己丑");
    // a 癸 year opens with 甲寅
    EXPECT_EQ(Name(MonthPillar(D(2023, 3, 1), YearPillar(D(2023, 3, 1)))), "甲寅");
    // December after 大雪 is 子
    EXPECT_EQ(Name(MonthPillar(D(2024, 12, 20), YearPillar(D(2024, 12, 20)))), "丙子");
}

TEST(Pillars, DayAndHour) {
    EXPECT_EQ(DayPillar(D(1900, 1, 1)), 11);
    EXPECT_EQ(DayPillar(D(2000, 1, 1)), 55);
    EXPECT_EQ(DayPillar(D(2024, 2, 10)), 41);
    EXPECT_EQ(Name(DayPillar(D(1949, 10, 1))), "甲子");
    EXPECT_EQ(DayPillar(D(2000, 1, 1, 23, 30)), 56);
    EXPECT_EQ(Name(HourPillar(23, DayPillar(D(2000, 1, 1, 23, 30)))), "甲子");
    EXPECT_EQ(Name(DayPillar(D(2000, 1, 1, 22, 59))), "戊午");
    EXPECT_EQ(Name(HourPillar(22, 55)), "癸亥");
    // first hours: 甲/己 → 甲子, 乙/庚 → 丙子, 戊/癸 → 壬子
    EXPECT_EQ(Name(HourPillar(0, 1)), "甲子");
    EXPECT_EQ(Name(HourPillar(0, 6)), "甲子");
    EXPECT_EQ(Name(HourPillar(0, 2)), "丙子");
    EXPECT_EQ(Name(HourPillar(0, 5)), "壬子");
    EXPECT_EQ(Name(HourPillar(0, 10)), "壬子");
    EXPECT_EQ(Name(HourPillar(1, 1)), "乙丑");
    EXPECT_EQ(Name(HourPillar(2, 1)), "乙丑");
    EXPECT_EQ(Name(HourPillar(3, 1)), "丙寅");
}

TEST(DoubleHours, EveryClockHourFallsInItsDoubleHour) {
    // 子 runs 23:00-00:59, 丑 01:00-02:59 … 亥 21:00-22:59.
    const char* const expected[24] = {"子", "丑", "丑", "寅", "寅", "卯", "卯", "辰", "辰", "巳", "巳", "午",
                                      "午", "未", "未", "申", "申", "酉", "酉", "戌", "戌", "亥", "亥", "子"};
    for (int h = 0; h < 24; ++h) {
        EXPECT_EQ(BranchName(HourBranch(h)), expected[h]) << h;
        EXPECT_EQ(BranchOf(HourPillar(h, 1)), HourBranch(h)) << h;
    }
}

TEST(CastingTimeNow, TakesTheClockAsAGregorianTimeCappedAt2050) {
    struct Case {
        LocalDateTime clock;
        CastingTime expected;
    };
    const Case cases[] = {
        {{2024, 2, 10, 9, 30, 59}, {2024, 2, 10, 9, 30, 0, 0}},
        {{2050, 12, 31, 23, 59, 0}, {2050, 12, 31, 23, 59, 0, 0}},
        {{2061, 7, 8, 21, 45, 0}, {2050, 7, 8, 21, 45, 0, 0}},
    };
    for (const Case& c : cases) {
        setAppClock(std::make_shared<FixedClock>(c.clock));
        EXPECT_EQ(CastingTimeNow(), c.expected) << c.clock.year;
    }
    setAppClock(std::make_shared<SystemClock>());
}

TEST(Positions, OnlyValuesAboveMinus500AreGiven) {
    EXPECT_FALSE(IsGivenPosition(kNoPosition));
    EXPECT_FALSE(IsGivenPosition(-500.0f));
    EXPECT_TRUE(IsGivenPosition(-499.9f));
    EXPECT_TRUE(IsGivenPosition(116.4f));
}

TEST(Pillars, ByTheLunarCalendar) {
    // lunar 2024 is 甲辰 from its first day, whatever the terms say
    EXPECT_EQ(Name(LunarYearPillar(2024)), "甲辰");
    EXPECT_EQ(Name(LunarYearPillar(1983)), "癸亥");
    EXPECT_EQ(Name(LunarMonthPillar(1, LunarYearPillar(2024))), "丙寅");
    EXPECT_EQ(Name(LunarMonthPillar(11, LunarYearPillar(2024))), "丙子");
    EXPECT_EQ(Name(LunarMonthPillar(12, LunarYearPillar(2024))), "丁丑");
    EXPECT_EQ(Name(LunarMonthPillar(1, LunarYearPillar(2023))), "甲寅");
    EXPECT_EQ(MonthPillarOfNumber(13, 41), MonthPillar(D(2025, 1, 10), 41));
}

TEST(Pillars, CombineStemBranch) {
    const CYiDate cal;
    EXPECT_EQ(cal.CombineStemBranch(1, 11), 11);
    EXPECT_EQ(cal.CombineStemBranch(0, 2), 50);
    for (GanZhi g = 0; g < 60; ++g) EXPECT_EQ(cal.CombineStemBranch(StemOf(g), BranchOf(g)), g);
}

TEST(CastingTime, DatesGregorianAndLunarEntries) {
    const DatedMoment a = Dated(Entry(2024, 2, 4, 16, 27));
    EXPECT_EQ(a.moment, D(2024, 2, 4, 16, 27));
    EXPECT_EQ(a.gregorian, a.moment);
    EXPECT_EQ(a.lunar, D(2023, 12, 25, 16, 27));
    EXPECT_EQ(Name(a.pillars.year), "甲辰");
    EXPECT_EQ(Name(a.pillars.month), "丙寅");
    const DatedMoment b = Dated(Entry(2023, 2, 11, 9, 0, true, true));  // leap second month
    EXPECT_EQ(b.gregorian, D(2023, 4, 1, 9, 0));
    EXPECT_EQ(b.leap, 1);
    EXPECT_EQ(b.lunar, D(2023, 2, 11, 9, 0));
    // 23:00 belongs to the next day for the lunar date and the day pillar
    const DatedMoment c = Dated(Entry(2000, 1, 1, 23, 30));
    EXPECT_EQ(c.lunar, D(1999, 11, 26, 23, 30));
    EXPECT_EQ(Name(c.pillars.day), "己未");
    EXPECT_EQ(Name(c.pillars.hour), "甲子");
    EXPECT_EQ(Dated(Entry(2050, 12, 31, 22, 59)).lunar.year, 2050);
}

TEST(CastingTime, LongitudeMovesDayAndHourOnly) {
    // 23:05 moved to 22:48 stays on its day (亥)
    const DatedMoment a = Dated(Entry(2023, 1, 1, 23, 5), 116.4f);
    EXPECT_EQ(a.gregorian, D(2023, 1, 1, 22, 48));
    EXPECT_EQ(a.moment, D(2023, 1, 1, 23, 5));
    EXPECT_EQ(a.pillars.day, DayPillar(D(2023, 1, 1)));
    EXPECT_EQ(BranchOf(a.pillars.hour), branch::kHai);
    EXPECT_EQ(a.lunar, D(2022, 12, 10, 22, 48));
    // 22:55 moved past 23:00 belongs to the next day (子)
    const DatedMoment b = Dated(Entry(2023, 6, 1, 22, 55), 125.0f);
    EXPECT_EQ(b.gregorian.hour, 23);
    EXPECT_EQ(b.pillars.day, DayPillar(D(2023, 6, 2)));
    EXPECT_EQ(BranchOf(b.pillars.hour), branch::kZi);
    EXPECT_EQ(b.lunar, D(2023, 4, 15, 23, b.gregorian.minute));
    // year and month stay with the clock time across 立春
    const DatedMoment c = Dated(Entry(2024, 2, 4, 16, 30), 100.0f);
    EXPECT_EQ(Name(c.pillars.year), "甲辰");
    EXPECT_EQ(c.gregorian.hour, 14);
}

TEST(CastingTime, RefusalsCarryTheirTexts) {
    EXPECT_EQ(DatingError(Entry(1899, 12, 31, 12, 0)), "年份在1900-2050之间");
    EXPECT_EQ(DatingError(Entry(2051, 1, 1, 12, 0)), "年份在1900-2050之间");
    EXPECT_EQ(DatingError(Entry(2023, 2, 29, 12, 0)), "不存在这个日期");
    EXPECT_EQ(DatingError(Entry(2023, 2, 28, 24, 0)), "不存在这个日期");
    EXPECT_EQ(DatingError(Entry(2050, 12, 31, 23, 10)), "时间越界，年份在1900-2050之间");
    EXPECT_EQ(DatingError(Entry(2050, 12, 29, 12, 0, true)), "时间越界，年份在1900-2050之间");
    EXPECT_EQ(DatingError(Entry(2020, 4, 30, 12, 0, true, true)), "不存在这个日期,请重新输入！");
    EXPECT_EQ(DatingError(Entry(2000, 4, 1, 12, 0, true, true)), "此年没有闰4月,请重新确定月份！");
    // a correction that leaves the range is refused instead of reading outside the tables
    EXPECT_EQ(DatingError(Entry(1900, 1, 1, 0, 5), 100.0f), "时间越界，年份在1900-2050之间");
}
