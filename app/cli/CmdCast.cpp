// qingheng-cli cast number|chars|random|time|name|trigrams|coins …
#include <memory>
#include <string>

#include "Commands.h"
#include "casting/CastDispatch.h"
#include "platform/Clock.h"

namespace qingheng::cli {
namespace {

nlohmann::ordered_json CastJson(const CastResult& r) {
    nlohmann::ordered_json j;
    j["main"] = r.mainCode;
    j["changed"] = r.changedCode;
    j["label"] = r.label;
    j["method"] = static_cast<int>(r.method);
    j["input"] = r.input;
    j["upper"] = r.upper;
    j["lower"] = r.lower;
    j["total"] = r.total;
    return j;
}

void RunCast(const std::string& method, const CastArguments& args) {
    seedFromClock(appRandom());
    std::string error;
    const auto result = castByMethodName(method, args, error);
    if (!result) throw CommandError{error};
    printJson(CastJson(*result));
}

CLI::App* AddMethod(CLI::App& cast, const std::string& name, const std::string& help,
                    const std::shared_ptr<CastArguments>& args) {
    auto* cmd = cast.add_subcommand(name, help);
    cmd->callback([name, args] { RunCast(name, *args); });
    return cmd;
}

}  // namespace

void addCastCommands(CLI::App& app) {
    auto* cast = app.add_subcommand("cast", "cast a hexagram by one of the seven methods; prints one JSON object");
    cast->require_subcommand(1);
    auto args = std::make_shared<CastArguments>();

    AddMethod(*cast, "number", "数字起卦: the digits", args)->add_option("DIGITS", args->input)->required();
    AddMethod(*cast, "chars", "汉字起卦: 2-20 Chinese characters", args)->add_option("TEXT", args->input)->required();
    AddMethod(*cast, "random", "随机起卦", args);

    auto* time = AddMethod(*cast, "time", "时间起卦 / 终身卦 by a moment", args);
    time->add_option("MOMENT", args->input, "\"YYYY-MM-DD HH:MM\"")->required();
    time->add_flag("--lunar", args->lunar, "the date is a lunar date");
    time->add_flag("--leap", args->leap, "the lunar month is the leap month");
    auto* addNumber = time->add_option("--add-number", args->addNumber, "加数字 (1-999)");
    auto* addChar = time->add_option("--add-char", args->addChar, "加汉字 (one character)");
    addNumber->excludes(addChar);
    time->add_option("--lifetime", args->lifetime, "终身卦 from the year's stem (gan) or branch (zhi)")
        ->check(CLI::IsMember({"gan", "zhi"}))
        ->excludes(addNumber)
        ->excludes(addChar);

    auto* name = AddMethod(*cast, "name", "卦名起卦: a hexagram name such as 天风姤", args);
    name->add_option("NAME", args->input)->required();
    name->add_option("--moving", args->moving, "moving lines, 1 = bottom: 1,3");

    auto* trigrams = AddMethod(*cast, "trigrams", "其它方式: upper and lower trigram (乾一, 乾, 天 or 1-8)", args);
    trigrams->add_option("UPPER", args->upper)->required();
    trigrams->add_option("LOWER", args->lower)->required();
    trigrams->add_option("--moving", args->moving, "moving lines, 1 = bottom: 1,3");

    AddMethod(*cast, "coins", "铜钱摇卦: six throws bottom first, 1 一个背, 2 两个背, 3 三个背, 4 三个面", args)
        ->add_option("THROWS", args->input, "1,2,3,4,1,2")
        ->required();
}

}  // namespace qingheng::cli
