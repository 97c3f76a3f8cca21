// The month page of the perpetual calendar: weekday columns, term days, lunar day texts,
// pillars and the refusals of impossible dates.
#include <gtest/gtest.h>

#include <set>

#include "calendar/MonthPage.h"

using namespace qingheng;

namespace {

PageRequest Request(int year, int month, int day = 1, int hour = 0, int minute = 0, bool terms = true) {
    return PageRequest{year, month, day, hour, minute, terms};
}

}  // namespace

TEST(MonthPage, February2024MatchesThePublishedCalendar) {
    const MonthPage page = BuildMonthPage(Request(2024, 2, 10, 9, 30));
    EXPECT_EQ(page.firstColumn, 3);  // 1 February 2024 was a Thursday
    ASSERT_EQ(page.dayCount(), 29);
    EXPECT_EQ(page.days[3].term, "立春");
    EXPECT_EQ(page.days[18].term, "雨水");
    EXPECT_EQ(page.days[9].lunar, "正月初一");
    EXPECT_EQ(page.days[8].lunar, "十二月三十");
    EXPECT_EQ(page.days[0].lunar, "十二月廿二");
    EXPECT_EQ(page.days[28].lunar, "正月二十");
    EXPECT_EQ(page.termMemos[0], "立春4日16时27分");
    EXPECT_EQ(page.termMemos[1], "雨水19日12时13分");
    EXPECT_EQ(PageTitle(page), "2024年2月");
    EXPECT_EQ(PageAnimal(page), "龙年");
    EXPECT_EQ(PagePillarsMemo(page), "甲辰年\n丙寅月\n甲辰日\n己巳时");
}

TEST(MonthPage, OnlyTheTwoTermDaysCarryATermName) {
    const MonthPage page = BuildMonthPage(Request(2024, 2));
    for (const PageDay& d : page.days) {
        const std::string expected = d.day == 4 ? "立春" : d.day == 19 ? "雨水" : "";
        EXPECT_EQ(d.term, expected) << d.day;
    }
}

TEST(MonthPage, LunarDayTextsNameLeapMonthsAndEveryDayForm) {
    struct Case {
        int year, month, day;
        const char* lunar;
    };
    for (const Case& c : {Case{2020, 6, 6, "闰四月十五"},
                          {2020, 5, 23, "闰四月初一"},
                          {2020, 5, 22, "四月三十"},
                          {2024, 1, 1, "十一月二十"},
                          {2024, 1, 11, "十二月初一"},
                          {2024, 1, 20, "十二月初十"},
                          {2024, 1, 21, "十二月十一"},
                          {2024, 1, 31, "十二月廿一"},
                          {2023, 3, 22, "闰二月初一"},
                          {1986, 12, 31, "十二月初一"}}) {
        const MonthPage page = BuildMonthPage(Request(c.year, c.month));
        EXPECT_EQ(page.days[c.day - 1].lunar, c.lunar) << c.year << "-" << c.month << "-" << c.day;
    }
}

TEST(MonthPage, AMonthStartingOnSundayReachesTheSixthRow) {
    const MonthPage page = BuildMonthPage(Request(2024, 9));
    EXPECT_EQ(page.firstColumn, 6);
    EXPECT_EQ(page.rowOfDay(1), 1);
    EXPECT_EQ(page.columnOfDay(1), 6);
    EXPECT_EQ(page.rowOfDay(2), 2);
    EXPECT_EQ(page.columnOfDay(2), 0);
    EXPECT_EQ(page.rowOfDay(30), 6);
    EXPECT_EQ(page.columnOfDay(30), 0);
    const MonthPage march2020 = BuildMonthPage(Request(2020, 3));
    EXPECT_EQ(march2020.rowOfDay(31), 6);
    EXPECT_EQ(march2020.columnOfDay(31), 1);
}

TEST(MonthPage, CellsOutsideTheMonthHoldNoDay) {
    const MonthPage page = BuildMonthPage(Request(2024, 2));
    EXPECT_EQ(page.dayOfCell(2), std::nullopt);
    EXPECT_EQ(page.dayOfCell(3), 1);
    EXPECT_EQ(page.dayOfCell(31), 29);
    EXPECT_EQ(page.dayOfCell(32), std::nullopt);
    EXPECT_EQ(page.dayOfCell(-1), std::nullopt);
}

TEST(MonthPage, WeekdaysMatchAnIndependentCountAtTheEndsOfTheRange) {
    EXPECT_EQ(BuildMonthPage(Request(1900, 1)).firstColumn, 0);   // a Monday
    EXPECT_EQ(BuildMonthPage(Request(2050, 12)).firstColumn, 3);  // a Thursday
}

TEST(MonthPage, EveryMonthOfTheRangeHasTwoTermDaysAndFollowsOnItsPredecessor) {
    int expectedFirst = BuildMonthPage(Request(1900, 1)).firstColumn;
    for (int year = kFirstYear; year <= kLastYear; ++year) {
        for (int month = 1; month <= 12; ++month) {
            const MonthPage page = BuildMonthPage(Request(year, month));
            ASSERT_EQ(page.firstColumn, expectedFirst) << year << "-" << month;
            expectedFirst = (page.firstColumn + page.dayCount()) % 7;
            std::set<std::string> terms;
            for (const PageDay& d : page.days) {
                ASSERT_FALSE(d.lunar.empty());
                if (!d.term.empty()) terms.insert(d.term);
            }
            ASSERT_EQ(terms.size(), 2u) << year << "-" << month;
            ASSERT_LE(page.rowOfDay(page.dayCount()), 6);
        }
    }
}

TEST(MonthPage, TermMonthsSwitchTheYearAtLichunAndLunarMonthsAtNewYear) {
    // 5 February 2024: after 立春 (the 4th, 16:27), before the lunar new year (the 10th).
    const MonthPage byTerms = BuildMonthPage(Request(2024, 2, 5, 12, 0, true));
    EXPECT_EQ(PageAnimal(byTerms), "龙年");
    EXPECT_EQ(PagePillarNames(byTerms)[0], "甲辰年");
    EXPECT_EQ(PagePillarNames(byTerms)[1], "丙寅月");
    const MonthPage byLunar = BuildMonthPage(Request(2024, 2, 5, 12, 0, false));
    EXPECT_EQ(PageAnimal(byLunar), "兔年");
    EXPECT_EQ(PagePillarNames(byLunar)[0], "癸卯年");
    EXPECT_EQ(PagePillarNames(byLunar)[1], "乙丑月");
    // The day pillars do not depend on the choice.
    EXPECT_EQ(PagePillarNames(byTerms)[2], PagePillarNames(byLunar)[2]);
    // Before 立春 both agree on the old year.
    EXPECT_EQ(PageAnimal(BuildMonthPage(Request(2024, 2, 4, 16, 26, true))), "兔年");
}

TEST(MonthPage, HourTwentyThreeBelongsToTheNextDay) {
    const MonthPage page = BuildMonthPage(Request(2024, 2, 10, 23, 0));
    EXPECT_EQ(PagePillarNames(page)[2], "乙巳日");
    EXPECT_EQ(PagePillarNames(page)[3], "丙子时");
}

TEST(MonthPage, RefusesYearsOutsideTheRangeAndDaysPastTheMonthEnd) {
    struct Case {
        int year, month, day;
        PageProblem problem;
    };
    for (const Case& c : {Case{1899, 12, 1, PageProblem::Year},
                          {2051, 1, 1, PageProblem::Year},
                          {0, 1, 1, PageProblem::Year},
                          {1900, 1, 1, PageProblem::None},
                          {2050, 12, 31, PageProblem::None},
                          {2024, 2, 29, PageProblem::None},
                          {2023, 2, 29, PageProblem::Day},
                          {1900, 2, 29, PageProblem::Day},
                          {2000, 2, 29, PageProblem::None},
                          {2024, 4, 31, PageProblem::Day},
                          {2024, 5, 31, PageProblem::None}}) {
        EXPECT_EQ(CheckPageRequest(Request(c.year, c.month, c.day)), c.problem)
            << c.year << "-" << c.month << "-" << c.day;
    }
}
