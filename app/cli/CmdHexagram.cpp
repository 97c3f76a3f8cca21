// qingheng-cli hexagram CODE
#include <string>

#include "Commands.h"
#include "vocab/Hexagram.h"

namespace qingheng::cli {
namespace {

nlohmann::ordered_json namesOf(const auto& values, auto nameOf) {
    nlohmann::ordered_json out = nlohmann::ordered_json::array();
    for (auto v : values) out.push_back(std::string(nameOf(v)));
    return out;
}

void runHexagram(const std::string& code, int qiangua) {
    if (!IsHexagramCode(code)) {
        throw CommandError{"卦码应为六个字符，每个是1、2、3或4（从上爻写起）：" + code};
    }
    const PalacePlace place = LocatePalace(code);
    const int number = HexagramNumber(place.palace, place.rank);
    const NajiaLines lines = Najia(code, qiangua == 1);
    nlohmann::ordered_json j;
    j["code"] = code;
    j["static"] = StaticCode(code);
    j["palace"] = std::string(TrigramName(place.palace));
    j["rank"] = place.rank;
    j["number"] = number;
    j["name"] = HexagramName(number);
    j["world"] = place.worldIndex + 1;
    j["response"] = place.responseIndex + 1;
    j["branches"] = namesOf(lines.branches, BranchName);
    j["stems"] = namesOf(lines.stems, StemName);
    j["mutual"] = MutualCode(code);
    j["guashen"] = std::string(BranchName(GuaShen(place.worldIndex, lines.branches[place.worldIndex])));
    printJson(j);
}

}  // namespace

void addHexagramCommands(CLI::App& app) {
    auto* cmd = app.add_subcommand("hexagram", "palace, lines and names of a six-line code (top line first)");
    auto code = std::make_shared<std::string>();
    auto qiangua = std::make_shared<int>(0);
    cmd->add_option("CODE", *code, "six characters 1-4, top line first")->required();
    cmd->add_option("--qiangua", *qiangua, "乾卦初爻: 0 从子起, 1 从午起")->check(CLI::Range(0, 1));
    cmd->callback([code, qiangua] { runHexagram(*code, *qiangua); });
}

}  // namespace qingheng::cli
