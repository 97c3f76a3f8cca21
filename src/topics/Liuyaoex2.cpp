#include "topics/Liuyaoex2.h"

#include "topics/Timing.h"
#include "topics/TopicTexts.h"

namespace qingheng {

std::optional<Topic> TopicOfName(std::string_view text) {
    for (Topic t = 0; t < kTopicCount; ++t) {
        if (kTopicNames[t] == text) return t;
    }
    if (text.size() == 1 && text[0] >= '0' && text[0] < '0' + kTopicCount) return text[0] - '0';
    return std::nullopt;
}

std::string TopicJudgement(const Chart& chart, Topic topic) {
    using namespace topics;
    using TopicText = std::string (*)(const Frame&);
    static constexpr std::array<TopicText, kTopicCount> kTexts = {
        wealthText, travellersText, residenceText, illnessText, weatherText, examsText, businessText, marriageText};
    // A chart that was never assembled has no signs to read.
    if (topic < 0 || topic >= kTopicCount || !chart.assembled()) return {};
    return kTexts[topic](Frame(chart));
}

namespace topics {

UseGodReading readUseGod(const Frame& f, Relative r, std::string_view label) {
    const UseGodPick pick = FindUseGod(f.chart, r);
    return {pick, EvaluateLine(f.chart, label, pick.line, pick.branch)};
}

std::string timingSection(const Frame& f, const UseGodReading& u, std::string_view heading) {
    return std::string(heading) + timingText(f.chart, u.pick.count, u.verdict(), u.pick.line, u.pick.branch);
}

}  // namespace topics
}  // namespace qingheng
