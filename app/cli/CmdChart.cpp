// qingheng-cli chart --code CODE --time "YYYY-MM-DD HH:MM" …
#include <fmt/format.h>

#include <iostream>
#include <memory>
#include <string>

#include "Commands.h"
#include "casebook/CaseOnView.h"
#include "casting/CastDispatch.h"
#include "chart/Liuyaoex.h"
#include "platform/Settings.h"

namespace qingheng::cli {
namespace {

struct ChartArgs {
    std::string code;
    std::string time;
    std::string changed;
    bool lunar = false;
    bool leap = false;
    std::string useGod = "兄弟";
    std::string name;
    std::string question;
    std::string methodLabel = "其他方式";
    int qiangua = 0;
    bool nagan = false;
    bool json = false;
    CLI::Option* qianguaOption = nullptr;
    CLI::Option* naganOption = nullptr;
    CLI::Option* labelOption = nullptr;
    // Cast and chart in one call: the method and what it reads.
    std::string method;
    CastArguments cast;
};

Relative relativeByName(const std::string& name) {
    for (Relative r = 0; r < 5; ++r) {
        if (RelativeName(r) == name) return r;
    }
    throw CommandError{"用神应为兄弟、子孙、妻财、官鬼、父母之一：" + name};
}

void check(const Status& s) {
    if (!s) throw CommandError{s.message};
}

// Casts by the named method. A lifetime cast is dated by its own moment; a time cast keeps
// the casting time given with --time.
void castByMethod(CaseOnView& c, ChartArgs a) {
    a.cast.lunar = a.lunar;
    a.cast.leap = a.leap;
    if (a.cast.input.empty() && castingMethodOfName(a.method) == CastingMethod::Time) a.cast.input = a.time;
    std::string error;
    CastDetails details;
    const std::optional<CastResult> cast = castByMethodName(a.method, a.cast, error, &details);
    if (!cast) throw CommandError{error};
    std::optional<CastingTime> datedAt;
    if (details.lifetime && details.gregorian) datedAt = GregorianCastingTime(*details.gregorian);
    c.takeCast(*cast, datedAt);
}

CaseInfo caseFromArgs(const ChartArgs& a) {
    CaseOnView c;
    const std::optional<DateRecord> moment = ParseMomentText(a.time);
    if (!moment) throw CommandError{"时间应写作 YYYY-MM-DD HH:MM：" + a.time};
    CastingTime time = GregorianCastingTime(*moment);
    time.lunar = a.lunar ? 1 : 0;
    time.leap = a.leap ? 1 : 0;
    c.setCastingTime(time);
    if (!a.method.empty()) {
        castByMethod(c, a);
    } else {
        if (!IsHexagramCode(a.code)) throw CommandError{"卦码应为六个字符，每个是1、2、3或4（从上爻写起）：" + a.code};
        CastResult given;
        given.mainCode = a.code;
        given.changedCode = a.changed.empty() ? ChangedCode(a.code) : a.changed;
        c.takeCast(given);
    }
    check(c.setAsker(a.name, a.question, relativeByName(a.useGod)));
    // The label printed after 起卦方式: the one given, else the method's, else 其他方式.
    if (a.labelOption->count() > 0 || a.method.empty()) check(c.setMethodLabel(a.methodLabel));
    return c.caseInfo();
}

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
    return j;
}

void runChart(const ChartArgs& a) {
    CLiuYaoEx engine;
    engine.caseInfo = caseFromArgs(a);
    ChartSettings settings = readChartSettings();
    if (a.qianguaOption->count() > 0) settings.qiangua = a.qiangua;
    if (a.naganOption->count() > 0) settings.nagan = a.nagan;
    engine.settingsOverride = settings;
    if (!engine.Assemble(engine.caseInfo.methodLabel)) throw CommandError{engine.errorText};
    if (a.json) {
        printJson(chartJson(engine));
        return;
    }
    std::cout << engine.lineText;
    if (!engine.lineText.empty() && engine.lineText.back() != '\n') std::cout << '\n';
    std::cout << "----\n" << engine.hexText;
}

}  // namespace

void addChartCommands(CLI::App& app) {
    auto* cmd = app.add_subcommand("chart", "assemble a chart and print its two reports (or --json)");
    auto a = std::make_shared<ChartArgs>();
    auto* code = cmd->add_option("--code", a->code, "main hexagram: six characters 1-4, top line first");
    auto* method = cmd->add_option("--method", a->method,
                                   "cast first: number, chars, random, time, name, trigrams (other), coins");
    code->excludes(method);
    cmd->add_option("--input", a->cast.input,
                    "what the method reads: digits, characters, a name, \"UPPER LOWER\" trigrams, coin throws, "
                    "or a moment (time; default --time)");
    cmd->add_option("--moving", a->cast.moving, "name and trigram casting: moving lines, 1 = bottom: 1,3");
    cmd->add_option("--add-number", a->cast.addNumber, "time casting: 加数字 (1-999)");
    cmd->add_option("--add-char", a->cast.addChar, "time casting: 加汉字 (one character)");
    cmd->add_option("--lifetime", a->cast.lifetime, "time casting: 终身卦 from the year's stem (gan) or branch (zhi)");
    cmd->add_option("--time", a->time, "casting time \"YYYY-MM-DD HH:MM\"")->required();
    cmd->add_option("--changed", a->changed, "changed hexagram (default: the main code with moving lines flipped)");
    auto* lunar = cmd->add_flag("--lunar", a->lunar, "the time is a lunar date");
    cmd->add_flag("--leap", a->leap, "the lunar month is a leap month")->needs(lunar);
    cmd->add_option("--use-god", a->useGod, "兄弟|子孙|妻财|官鬼|父母 (default 兄弟)");
    cmd->add_option("--name", a->name, "求测人");
    cmd->add_option("--question", a->question, "占问事宜");
    a->labelOption = cmd->add_option("--method-label", a->methodLabel,
                                     "起卦方式 printed in the header (default 其他方式, or the method's label)");
    a->qianguaOption = cmd->add_option("--qiangua", a->qiangua, "乾卦初爻: 0 从子起, 1 从午起 (default: set.ini)")
                           ->check(CLI::Range(0, 1));
    a->naganOption = cmd->add_flag("--nagan", a->nagan, "show the stems of the lines (default: set.ini)");
    cmd->add_flag("--json", a->json, "print the assembled chart as JSON");
    cmd->callback([a, code, method] {
        if (code->count() == 0 && method->count() == 0) throw CommandError{"请用 --code 给出卦码，或用 --method 起卦"};
        runChart(*a);
    });
}

}  // namespace qingheng::cli
