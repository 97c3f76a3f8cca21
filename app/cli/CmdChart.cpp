// qingheng-cli chart --code CODE --time "YYYY-MM-DD HH:MM" …
#include <fmt/format.h>

#include <iostream>
#include <memory>
#include <string>

#include "ChartOptions.h"
#include "ChartPicture.h"
#include "Commands.h"
#include "chart/GeneralJudgement.h"
#include "chart/Liuyaoex.h"

namespace qingheng::cli {
namespace {

std::string name(std::string_view s) { return std::string(s); }

nlohmann::ordered_json hexagramJson(const HexagramInfo& h) {
    return {{"code", std::string(h.codeText())},
            {"name", HexagramName(h.number())},
            {"number", h.number()},
            {"palace", name(TrigramName(h.palace))},
            {"rank", h.rank},
            {"world", h.world + 1},
            {"response", h.response + 1}};
}

nlohmann::ordered_json lineJson(const ChartLine& l, int i) {
    nlohmann::ordered_json j;
    j["line"] = i + 1;
    j["code"] = std::string(1, l.code);
    j["spirit"] = name(SpiritName(l.spirit));
    j["stem"] = name(StemName(l.stem));
    j["branch"] = name(BranchName(l.branch));
    j["phase"] = name(PhaseName(PhaseOfBranch(l.branch)));
    j["relative"] = name(RelativeName(l.relative));
    j["changed"] = {{"code", std::string(1, l.changedCode)},
                    {"stem", name(StemName(l.changedStem))},
                    {"branch", name(BranchName(l.changedBranch))},
                    {"phase", name(PhaseName(PhaseOfBranch(l.changedBranch)))},
                    {"relative", name(RelativeName(l.changedRelative))}};
    if (l.hidden) {
        j["hidden"] = {{"relative", name(RelativeName(l.hidden->relative))},
                       {"stem", name(StemName(l.hidden->stem))},
                       {"branch", name(BranchName(l.hidden->branch))},
                       {"phase", name(PhaseName(PhaseOfBranch(l.hidden->branch)))}};
    } else {
        j["hidden"] = nullptr;
    }
    return j;
}

nlohmann::ordered_json summaryJson(std::string_view title, const RelativeSummary& s) {
    return {{"name", name(title)},
            {"line", s.line + 1},
            {"branch", name(BranchName(s.branch))},
            {"count", s.count},
            {"score", s.score},
            {"code", s.lineCode},
            {"phase", name(PhaseName(s.phase))},
            {"season", name(SeasonStateName(s.season))},
            {"change", name(ChangeStateWord(s.change))}};
}

std::string formatDate(const DateRecord& d) {
    return fmt::format("{:04}-{:02}-{:02} {:02}:{:02}", d.year, d.month, d.day, d.hour, d.minute);
}

nlohmann::ordered_json chartJson(const CLiuYaoEx& engine) {
    const Chart& c = engine.chart();
    auto ganzhi = [](GanZhi g) { return name(StemName(StemOf(g))) + name(BranchName(BranchOf(g))); };
    nlohmann::ordered_json j;
    j["pillars"] = {{"year", ganzhi(c.pillars.year)},
                    {"month", ganzhi(c.pillars.month)},
                    {"day", ganzhi(c.pillars.day)},
                    {"hour", ganzhi(c.pillars.hour)}};
    j["gregorian"] = formatDate(c.gregorian);
    j["lunar"] = {{"year", c.lunar.year}, {"month", c.lunar.month}, {"day", c.lunar.day}, {"leap", c.lunarLeap != 0}};
    j["void"] = {name(BranchName(c.voidBranches[0])), name(BranchName(c.voidBranches[1]))};
    j["guashen"] = name(BranchName(c.guaShen));
    j["moving"] = c.movingCount;
    j["main"] = hexagramJson(c.main);
    j["changed"] = hexagramJson(c.changed);
    j["mutual"] = hexagramJson(c.mutual);
    nlohmann::ordered_json lines = nlohmann::ordered_json::array();
    for (int i = 0; i < 6; ++i) lines.push_back(lineJson(engine.Line(i), i));
    j["lines"] = lines;
    j["use_god"] = {{"relative", name(RelativeName(c.useGod.relative))},
                    {"line", c.useGod.line + 1},
                    {"count", c.useGod.count},
                    {"branch", name(BranchName(c.useGod.branch))}};
    nlohmann::ordered_json summaries = nlohmann::ordered_json::array();
    for (Relative r = 0; r < 5; ++r) summaries.push_back(summaryJson(RelativeName(r), c.summaries[r]));
    summaries.push_back(summaryJson("世爻", c.summaries[kSummaryWorld]));
    summaries.push_back(summaryJson("应爻", c.summaries[kSummaryResponse]));
    j["summaries"] = summaries;
    j["fanfuyin"] = {{"outer", c.fanFuYinOuter}, {"inner", c.fanFuYinInner}};
    j["timing"] = UseGodTiming(c);
    nlohmann::ordered_json stars = nlohmann::ordered_json::array();
    for (int i = 0; i < 6; ++i) stars.push_back(ShenShaOf(c, i));
    j["stars"] = stars;
    return j;
}

void runChart(const ChartArgs& a, bool json, const ChartPictureArgs& pictures) {
    const CLiuYaoEx engine = assembleChart(a);
    if (pictures.wanted()) writeChartPictures(engine, pictures);
    if (json) {
        printJson(chartJson(engine));
        return;
    }
    if (pictures.wanted()) return;
    printReport(engine.lineText);
    std::cout << "----\n";
    printReport(engine.hexText);
}

}  // namespace

void addChartCommands(CLI::App& app) {
    auto* cmd = app.add_subcommand("chart", "assemble a chart and print its two reports (or --json)");
    auto a = std::make_shared<ChartArgs>();
    auto json = std::make_shared<bool>(false);
    auto pictures = std::make_shared<ChartPictureArgs>();
    addChartOptions(cmd, *a);
    cmd->add_flag("--json", *json, "print the assembled chart as JSON");
    addChartPictureOptions(cmd, *pictures);
    cmd->callback([a, json, pictures] { runChart(*a, *json, *pictures); });
}

}  // namespace qingheng::cli
