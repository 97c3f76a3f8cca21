// qingheng-cli topic NAME --code CODE --time "YYYY-MM-DD HH:MM" … [--all]
#include <iostream>
#include <memory>
#include <optional>
#include <string>

#include "ChartOptions.h"
#include "Commands.h"
#include "topics/Liuyaoex2.h"

namespace qingheng::cli {
namespace {

struct TopicArgs {
    ChartArgs chart;
    std::string topic;
    bool all = false;
};

void runTopic(const TopicArgs& a) {
    std::optional<Topic> topic;
    if (!a.all) {
        if (a.topic.empty())
            throw CommandError{"请给出主题：财运、行人、住宅、疾病、天气、考学、生意、婚姻（或0-7），或用 --all"};
        topic = TopicOfName(a.topic);
        if (!topic)
            throw CommandError{"主题应为财运、行人、住宅、疾病、天气、考学、生意、婚姻之一（或0-7）：" + a.topic};
    }
    const CLiuYaoEx engine = assembleChart(a.chart);
    if (topic) {
        printReport(TopicJudgement(engine.chart(), *topic));
        return;
    }
    for (Topic t = 0; t < kTopicCount; ++t) {
        std::cout << "== " << TopicName(t) << '\n';
        printReport(TopicJudgement(engine.chart(), t));
    }
}

}  // namespace

void addTopicCommands(CLI::App& app) {
    auto* cmd =
        app.add_subcommand("topic", "judge one question topic (财运 行人 住宅 疾病 天气 考学 生意 婚姻) on a chart");
    auto a = std::make_shared<TopicArgs>();
    auto* name = cmd->add_option("NAME", a->topic, "财运, 行人, 住宅, 疾病, 天气, 考学, 生意, 婚姻 or 0-7");
    auto* all = cmd->add_flag("--all", a->all, "print the eight texts, each after a line \"== NAME\"");
    name->excludes(all);
    addChartOptions(cmd, a->chart);
    cmd->callback([a] { runTopic(*a); });
}

}  // namespace qingheng::cli
