// qingheng-cli calendar page YYYY-MM [--day D] [--time HH:MM] [--lunar-months]
#include <memory>
#include <regex>
#include <string>

#include "Commands.h"
#include "calendar/MonthPage.h"

namespace qingheng::cli {
namespace {

struct PageOptions {
    std::string month;
    int day = 1;
    std::string time = "00:00";
    bool lunarMonths = false;
};

PageRequest requestOf(const PageOptions& o) {
    static const std::regex kMonth(R"((\d{4})-(\d{1,2}))");
    static const std::regex kTime(R"((\d{1,2}):(\d{2}))");
    std::smatch m, t;
    if (!std::regex_match(o.month, m, kMonth)) throw CommandError{"月份应写作 YYYY-MM：" + o.month};
    if (!std::regex_match(o.time, t, kTime)) throw CommandError{"时间应写作 HH:MM：" + o.time};
    PageRequest r;
    r.year = std::stoi(m[1]);
    r.month = std::stoi(m[2]);
    r.day = o.day;
    r.hour = std::stoi(t[1]);
    r.minute = std::stoi(t[2]);
    r.termsOpenMonths = !o.lunarMonths;
    if (r.month < 1 || r.month > 12) throw CommandError{"月份在1-12之间：" + o.month};
    if (r.hour > 23 || r.minute > 59) throw CommandError{"时间应写作 HH:MM：" + o.time};
    return r;
}

void printPage(const PageOptions& o) {
    const PageRequest request = requestOf(o);
    switch (CheckPageRequest(request)) {
        case PageProblem::Year:
            throw CommandError{std::string(kPageYearMessage)};
        case PageProblem::Day:
            throw CommandError{std::string(kPageDayMessage)};
        case PageProblem::None:
            break;
    }
    const MonthPage page = BuildMonthPage(request);
    nlohmann::ordered_json j;
    j["title"] = PageTitle(page);
    j["animal"] = PageAnimal(page);
    j["firstColumn"] = page.firstColumn;
    j["days"] = nlohmann::ordered_json::array();
    for (const PageDay& d : page.days) j["days"].push_back({{"day", d.day}, {"lunar", d.lunar}, {"term", d.term}});
    j["terms"] = page.termMemos;
    j["pillars"] = PagePillarNames(page);
    printJson(j);
}

}  // namespace

void addCalendarPageCommand(CLI::App& calendar) {
    auto* page = calendar.add_subcommand("page", "the month page of the perpetual calendar as JSON");
    auto options = std::make_shared<PageOptions>();
    page->add_option("MONTH", options->month, "YYYY-MM (1900-01 to 2050-12)")->required();
    page->add_option("--day", options->day, "the chosen day (default 1)")->check(CLI::Range(1, 31));
    page->add_option("--time", options->time, "the chosen hour and minute, HH:MM (default 00:00)");
    page->add_flag("--lunar-months", options->lunarMonths,
                   "year and month pillars by the lunar calendar (节气换月 cleared)");
    page->callback([options] { printPage(*options); });
}

}  // namespace qingheng::cli
