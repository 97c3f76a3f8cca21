// qingheng-cli calendar months | calendar terms | date "YYYY-MM-DD HH:MM"
#include <cstdio>
#include <iostream>
#include <memory>
#include <optional>
#include <string>

#include <fmt/format.h>

#include "Commands.h"
#include "calendar/Yidate.h"

namespace qingheng::cli {
namespace {

std::string dateText(const DateRecord& r) { return fmt::format("{:04}-{:02}-{:02}", r.year, r.month, r.day); }

std::string momentText(const DateRecord& r) { return dateText(r) + fmt::format(" {:02}:{:02}", r.hour, r.minute); }

std::string pillarName(GanZhi g) { return std::string(StemName(StemOf(g))) + std::string(BranchName(BranchOf(g))); }

// Day 1 of a lunar month; false when the year has no such month.
bool monthStart(const CYiDate& cal, int year, int month, bool leap, DateRecord& start) {
    const DateRecord first{static_cast<std::int16_t>(year), static_cast<std::int16_t>(month), 1, 0, 0};
    std::string message;
    return cal.LunarToSolar(first, start, leap, message);
}

int monthDays(const CYiDate& cal, int year, int month, bool leap) {
    const DateRecord last{static_cast<std::int16_t>(year), static_cast<std::int16_t>(month), 30, 0, 0};
    DateRecord out;
    std::string message;
    return cal.LunarToSolar(last, out, leap, message) ? 30 : 29;
}

void printMonths() {
    const CYiDate cal;
    std::string out;
    for (int year = kFirstYear; year <= kLastYear; ++year) {
        for (int month = 1; month <= 12; ++month) {
            for (const bool leap : {false, true}) {
                DateRecord start;
                if (!monthStart(cal, year, month, leap, start)) continue;
                out += fmt::format("{}\t{}\t{}\t{}\t{}\n", year, month, leap ? 1 : 0, dateText(start),
                                   monthDays(cal, year, month, leap));
            }
        }
    }
    std::cout << out;
}

void printTerms() {
    const CYiDate cal;
    std::string out;
    for (int year = kFirstYear; year <= kLastYear; ++year) {
        for (int month = 1; month <= 12; ++month) {
            for (const int which : {1, 2}) {
                DateRecord moment;
                cal.SolarTermMoment(year, month, which, moment);
                out += fmt::format("{}\t{}\t{}\t{}\t{}\n", year, month, which,
                                   kSolarTermNames[2 * (month - 1) + which - 1], momentText(moment));
            }
        }
    }
    std::cout << out;
}

// The moment of the command line as an entered casting time.
CastingTime parseMoment(const std::string& text) {
    const std::optional<DateRecord> d = ParseMomentText(text);
    if (!d) throw CommandError{"时间应写作 YYYY-MM-DD HH:MM：" + text};
    CastingTime e;
    e.year = d->year;
    e.month = d->month;
    e.day = d->day;
    e.hour = d->hour;
    e.minute = d->minute;
    return e;
}

struct DateOptions {
    std::string moment;
    bool lunar = false;
    bool leap = false;
    std::optional<double> longitude;  // degrees east, when given
};

// The longitude as the calendar takes it; refused unless it lies within -180 to 180.
float checkedLongitude(const std::optional<double>& degrees) {
    if (!degrees) return kNoPosition;
    if (!IsValidLongitude(*degrees)) throw CommandError{fmt::format("{}：{}", kLongitudeRangeText, *degrees)};
    return static_cast<float>(*degrees);
}

void runDate(const DateOptions& o) {
    CastingTime entry = parseMoment(o.moment);
    entry.lunar = o.lunar ? 1 : 0;
    entry.leap = o.leap ? 1 : 0;
    const float longitude = checkedLongitude(o.longitude);
    DatedMoment dated;
    std::string error;
    if (!DateCastingTime(entry, longitude, dated, error)) throw CommandError{error};
    const auto voids = VoidBranches(dated.pillars.day);
    nlohmann::ordered_json j;
    j["moment"] = momentText(dated.moment);
    j["gregorian"] = momentText(dated.gregorian);
    j["lunar"] = {
        {"year", dated.lunar.year}, {"month", dated.lunar.month}, {"day", dated.lunar.day}, {"leap", dated.leap}};
    j["pillars"] = {{"year", pillarName(dated.pillars.year)},
                    {"month", pillarName(dated.pillars.month)},
                    {"day", pillarName(dated.pillars.day)},
                    {"hour", pillarName(dated.pillars.hour)}};
    j["void"] = {std::string(BranchName(voids[0])), std::string(BranchName(voids[1]))};
    printJson(j);
}

}  // namespace

void addCalendarCommands(CLI::App& app) {
    auto* calendar = app.add_subcommand("calendar", "dumps of the lunar months and solar terms of 1900-2050");
    calendar->require_subcommand(1);
    calendar->add_subcommand("months", "lunar year, month, leap, Gregorian day 1, days (tab-separated)")
        ->callback(printMonths);
    calendar->add_subcommand("terms", "year, month, first/second, name, moment (tab-separated)")->callback(printTerms);
    addCalendarPageCommand(*calendar);

    auto* date = app.add_subcommand("date", "date a moment: lunar date, four pillars, void branches");
    auto options = std::make_shared<DateOptions>();
    date->add_option("MOMENT", options->moment, "\"YYYY-MM-DD HH:MM\" (Beijing clock time)")->required();
    auto* lunar = date->add_flag("--lunar", options->lunar, "the date is a lunar date");
    date->add_flag("--leap", options->leap, "the lunar month is a leap month")->needs(lunar);
    date->add_option("--longitude", options->longitude, "degrees east (-180 to 180), for true solar time");
    date->callback([options] { runDate(*options); });
}

}  // namespace qingheng::cli
