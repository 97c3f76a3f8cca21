#pragma once
// Building assembled charts for the chart tests.
#include <algorithm>
#include <string>

#include "chart/Liuyaoex.h"

namespace qingheng::testing {

struct CastInput {
    std::string code;
    DateRecord time{2024, 2, 10, 9, 30};
    Relative useGod = 0;
    bool nagan = false;
    int qiangua = 0;
};

// An engine with the cast assembled under fixed settings; the test fails when the
// assembly does.
inline CLiuYaoEx assembled(const CastInput& cast) {
    CLiuYaoEx engine;
    engine.settingsOverride = ChartSettings{cast.qiangua, cast.nagan, 0};
    engine.caseInfo.mainCode = cast.code;
    engine.caseInfo.changedCode = ChangedCode(cast.code);
    engine.caseInfo.castingTime = {
        cast.time.year, cast.time.month, cast.time.day, cast.time.hour, cast.time.minute, 0, 0};
    engine.caseInfo.useGod = cast.useGod;
    engine.caseInfo.castingMethod = 5;
    const bool ok = engine.Assemble("其他方式");
    if (!ok) throw std::runtime_error("assembly failed: " + engine.errorText);
    return engine;
}

// The text from the first occurrence of from up to (not including) the first occurrence of
// to after it.
inline std::string between(const std::string& text, const std::string& from, const std::string& to) {
    const auto a = text.find(from);
    if (a == std::string::npos) return {};
    const auto b = text.find(to, a + from.size());
    return text.substr(a, b == std::string::npos ? std::string::npos : b - a);
}

// The report before the sections that follow the chart block or the trigram pictures (the
// judgements and the classic texts).
inline std::string beforeSections(const std::string& text) {
    std::size_t end = text.size();
    for (const char* marker : {"爻像解析：", "卦像解析：", "\r\n\r\n易经卦爻辞(原文)："}) {
        end = std::min(end, text.find(marker));
    }
    return text.substr(0, end);
}

}  // namespace qingheng::testing
