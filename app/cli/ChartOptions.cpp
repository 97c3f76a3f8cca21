// The chart options shared by the chart-reading commands, and the assembly they lead to.
#include "ChartOptions.h"

#include "Commands.h"
#include "casebook/CaseOnView.h"
#include "platform/Settings.h"

namespace qingheng::cli {
namespace {

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

}  // namespace

Relative relativeByName(const std::string& name) {
    for (Relative r = 0; r < 5; ++r) {
        if (RelativeName(r) == name) return r;
    }
    throw CommandError{"用神应为兄弟、子孙、妻财、官鬼、父母之一：" + name};
}

CaseOnView caseFromArgs(const ChartArgs& a) {
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
    if ((a.labelOption && a.labelOption->count() > 0) || a.method.empty()) check(c.setMethodLabel(a.methodLabel));
    return c;
}

void addChartOptions(CLI::App* cmd, ChartArgs& a) {
    a.codeOption = cmd->add_option("--code", a.code, "main hexagram: six characters 1-4, top line first");
    a.methodOption =
        cmd->add_option("--method", a.method, "cast first: number, chars, random, time, name, trigrams (other), coins");
    a.codeOption->excludes(a.methodOption);
    cmd->add_option("--input", a.cast.input,
                    "what the method reads: digits, characters, a name, \"UPPER LOWER\" trigrams, coin throws, "
                    "or a moment (time; default --time)");
    cmd->add_option("--moving", a.cast.moving, "name and trigram casting: moving lines, 1 = bottom: 1,3");
    cmd->add_option("--add-number", a.cast.addNumber, "time casting: 加数字 (1-999)");
    cmd->add_option("--add-char", a.cast.addChar, "time casting: 加汉字 (one character)");
    cmd->add_option("--lifetime", a.cast.lifetime, "time casting: 终身卦 from the year's stem (gan) or branch (zhi)");
    cmd->add_option("--time", a.time, "casting time \"YYYY-MM-DD HH:MM\"")->required();
    cmd->add_option("--changed", a.changed, "changed hexagram (default: the main code with moving lines flipped)");
    auto* lunar = cmd->add_flag("--lunar", a.lunar, "the time is a lunar date");
    cmd->add_flag("--leap", a.leap, "the lunar month is a leap month")->needs(lunar);
    cmd->add_option("--use-god", a.useGod, "兄弟|子孙|妻财|官鬼|父母 (default 兄弟)");
    cmd->add_option("--name", a.name, "求测人");
    cmd->add_option("--question", a.question, "占问事宜");
    a.labelOption = cmd->add_option("--method-label", a.methodLabel,
                                    "起卦方式 printed in the header (default 其他方式, or the method's label)");
    a.qianguaOption = cmd->add_option("--qiangua", a.qiangua, "乾卦初爻: 0 从子起, 1 从午起 (default: set.ini)")
                          ->check(CLI::Range(0, 1));
    a.naganOption = cmd->add_flag("--nagan", a.nagan, "show the stems of the lines (default: set.ini)");
}

CLiuYaoEx assembleChart(const ChartArgs& a) {
    if (a.codeOption->count() == 0 && a.methodOption->count() == 0) {
        throw CommandError{"请用 --code 给出卦码，或用 --method 起卦"};
    }
    return assembleCase(caseFromArgs(a), a);
}

CLiuYaoEx assembleCase(const CaseOnView& c, const ChartArgs& a) {
    CLiuYaoEx engine;
    engine.caseInfo = c.caseInfo();
    ChartSettings settings = readChartSettings();
    if (a.qianguaOption && a.qianguaOption->count() > 0) settings.qiangua = a.qiangua;
    if (a.naganOption && a.naganOption->count() > 0) settings.nagan = a.nagan;
    engine.settingsOverride = settings;
    if (!engine.Assemble(engine.caseInfo.methodLabel)) throw CommandError{engine.errorText};
    return engine;
}

}  // namespace qingheng::cli
