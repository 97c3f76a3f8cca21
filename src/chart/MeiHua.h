#pragma once
// The Mei Hua reading of the plum-blossom report (卦像解析): body and use trigrams, the
// weighing of the main, mutual and changed trigrams, the sayings of the body trigram from
// dat/meihy.dat and the explanation of the main hexagram.
#include <array>
#include <string>
#include <string_view>

#include "chart/Liuyaoex.h"

namespace qingheng {

struct TrigramStrength {
    int force = 0;       // 100 旺, 80 相, 60 休, 50 囚, 35 死
    std::string phrase;  // "旺于月令。" …
};

// Force of a trigram's phase in the chart's month.
TrigramStrength TrigramMonthStrength(const Chart& c, Trigram t);

// The topics of the sayings, in printing order.
inline constexpr std::array<std::string_view, 8> kMeiHuaTopics = {"家宅", "婚姻", "求名", "生产",
                                                                  "疾病", "交易", "官讼", "出行"};

// The sayings of a trigram by topic, read from dat/meihy.dat (section "乾卦" …). A missing or
// unreadable file, section or key gives empty texts. The file is read again only when it
// changes on disk.
std::array<std::string, 8> TrigramSayings(Trigram t);

// Appends the Mei Hua reading, from "卦像解析：　", to the plum-blossom report.
void WriteMeiHua(const Chart& c, std::string& hexText);

}  // namespace qingheng
