#include "calendar/MonthPage.h"

#include <cmath>

#include <fmt/format.h>

namespace qingheng {
namespace {

constexpr std::array<std::string_view, 12> kAnimals = {"猪", "鼠", "牛", "虎", "兔", "龙",
                                                       "蛇", "马", "羊", "猴", "鸡", "狗"};

DateRecord RecordOf(int year, int month, int day, int hour = 0, int minute = 0) {
    return {static_cast<std::int16_t>(year), static_cast<std::int16_t>(month), static_cast<std::int16_t>(day),
            static_cast<std::int16_t>(hour), static_cast<std::int16_t>(minute)};
}

// Monday = 0 … Sunday = 6.
int WeekdayFromMonday(int year, int month, int day) {
    const double jd = CYiDate().JulianDay(RecordOf(year, month, day));
    const int fromSunday = static_cast<int>(std::lround(std::floor(jd + 1.5))) % 7;
    return (fromSunday + 6) % 7;
}

std::string PillarName(GanZhi g) { return std::string(StemName(StemOf(g))) + std::string(BranchName(BranchOf(g))); }

FourPillars PillarsOf(const PageRequest& r) {
    const CYiDate calendar;
    const DateRecord moment = RecordOf(r.year, r.month, r.day, r.hour, r.minute);
    FourPillars p;
    if (r.termsOpenMonths) {
        p.year = YearPillar(moment);
        p.month = MonthPillar(moment, p.year);
    } else {
        DateRecord lunar;
        calendar.SolarToLunar(moment, lunar);
        p.year = LunarYearPillar(lunar.year);
        p.month = LunarMonthPillar(lunar.month, p.year);
    }
    p.day = DayPillar(moment);
    p.hour = HourPillar(r.hour, p.day);
    return p;
}

}  // namespace

PageProblem CheckPageRequest(const PageRequest& r) {
    if (r.year < kFirstYear || r.year > kLastYear) return PageProblem::Year;
    if (r.month < 1 || r.month > 12 || r.day < 1 || r.day > SolarMonthLength(r.year, r.month)) return PageProblem::Day;
    return PageProblem::None;
}

std::optional<int> MonthPage::dayOfCell(int cell) const {
    if (cell < firstColumn || cell >= firstColumn + dayCount()) return std::nullopt;
    return cell - firstColumn + 1;
}

std::string LunarDayText(int lunarMonth, int lunarDay, bool leap) {
    const CYiDate calendar;
    std::string text = leap ? "闰" : "";
    text += lunarMonth == 1 ? std::string("正") : calendar.ChineseNumeral(lunarMonth);
    text += "月";
    if (lunarDay <= 10) text += "初";
    return text + calendar.ChineseNumeral(lunarDay);
}

std::string_view AnimalOfBranch(Branch branch) { return kAnimals[branch]; }

MonthPage BuildMonthPage(const PageRequest& request) {
    const CYiDate calendar;
    MonthPage page;
    page.request = request;
    page.firstColumn = WeekdayFromMonday(request.year, request.month, 1);
    for (int k = 0; k < 2; ++k) {
        DateRecord& moment = page.termMoments[k];
        calendar.SolarTermMoment(request.year, request.month, k + 1, moment);
        page.termNames[k] = kSolarTermNames[2 * (request.month - 1) + k];
        page.termMemos[k] = fmt::format("{}{}日{}时{}分", page.termNames[k], moment.day, moment.hour, moment.minute);
    }
    const int length = SolarMonthLength(request.year, request.month);
    for (int d = 1; d <= length; ++d) {
        DateRecord lunar;
        const bool leap = calendar.SolarToLunar(RecordOf(request.year, request.month, d), lunar) != 0;
        PageDay day{d, LunarDayText(lunar.month, lunar.day, leap), {}};
        for (int k = 0; k < 2; ++k) {
            if (page.termMoments[k].day == d) day.term = page.termNames[k];
        }
        page.days.push_back(std::move(day));
    }
    page.pillars = PillarsOf(request);
    return page;
}

std::string PageTitle(const MonthPage& page) { return fmt::format("{}年{}月", page.request.year, page.request.month); }

std::string PageAnimal(const MonthPage& page) {
    return std::string(AnimalOfBranch(BranchOf(page.pillars.year))) + "年";
}

std::array<std::string, 4> PagePillarNames(const MonthPage& page) {
    const FourPillars& p = page.pillars;
    return {PillarName(p.year) + "年", PillarName(p.month) + "月", PillarName(p.day) + "日", PillarName(p.hour) + "时"};
}

std::string PagePillarsMemo(const MonthPage& page) {
    const auto names = PagePillarNames(page);
    return names[0] + "\n" + names[1] + "\n" + names[2] + "\n" + names[3];
}

}  // namespace qingheng
