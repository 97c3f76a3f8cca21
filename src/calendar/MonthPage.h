#pragma once
// The month page of the perpetual calendar: the days of a Gregorian month with their lunar
// dates, the month's two solar terms, and the four pillars of a chosen day and hour. The
// calendar window draws it and `qingheng-cli calendar page` prints it.
#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "calendar/Yidate.h"

namespace qingheng {

// The chosen moment of a page and how its year and month pillars are reckoned.
struct PageRequest {
    int year = 0, month = 1, day = 1, hour = 0, minute = 0;
    bool termsOpenMonths = true;  // 节气换月: months open at the solar terms, else lunar months
};

// Why a page cannot be drawn, with the message the calendar shows.
enum class PageProblem { None, Year, Day };
inline constexpr std::string_view kPageYearMessage = "年份在1900-2050之间";
inline constexpr std::string_view kPageDayMessage = "不存在这个日期，请重新输入！";

// Year outside 1900-2050 first, then a day past the month's end.
PageProblem CheckPageRequest(const PageRequest& request);

struct PageDay {
    int day = 0;
    std::string lunar;  // lower half of the cell: "正月初一", "闰四月十五"
    std::string term;   // name of the term falling on this day, or empty
};

inline constexpr int kPageColumns = 7;
inline constexpr int kPageRows = 7;  // the header row and six rows of days

struct MonthPage {
    PageRequest request;
    int firstColumn = 0;  // column of day 1: 0 = Monday … 6 = Sunday
    std::vector<PageDay> days;
    std::array<DateRecord, 2> termMoments;
    std::array<std::string, 2> termNames;
    std::array<std::string, 2> termMemos;  // "立春4日16时27分"
    FourPillars pillars;

    int dayCount() const { return static_cast<int>(days.size()); }
    // Grid cell of day d (1-based): row 1-6, column 0-6.
    int rowOfDay(int d) const { return 1 + (firstColumn + d - 1) / kPageColumns; }
    int columnOfDay(int d) const { return (firstColumn + d - 1) % kPageColumns; }
    // The day drawn in a cell counted row by row from the first day row (cell 0 = row 1,
    // column 0); nullopt for cells before day 1 or after the last day.
    std::optional<int> dayOfCell(int cell) const;
};

// The page of a request that CheckPageRequest accepted.
MonthPage BuildMonthPage(const PageRequest& request);

// Texts of the page's labels and pillars memo.
std::string PageTitle(const MonthPage& page);                       // "2024年2月"
std::string PageAnimal(const MonthPage& page);                      // "龙年"
std::array<std::string, 4> PagePillarNames(const MonthPage& page);  // "甲辰年", "丙寅月", "甲辰日", "己巳时"
std::string PagePillarsMemo(const MonthPage& page);                 // the four names joined by "\n"

// Lunar day text of the calendar cells: "闰" for a leap month, the month ("正月", "二月" …
// "十二月") and the day ("初一" … "初十", "十一" … "三十").
std::string LunarDayText(int lunarMonth, int lunarDay, bool leap);

// The zodiac animal of a branch (亥 猪 … 戌 狗).
std::string_view AnimalOfBranch(Branch branch);

}  // namespace qingheng
