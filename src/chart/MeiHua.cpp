// The Mei Hua reading: body and use, the weighing of five trigrams and the sayings.
#include "chart/MeiHua.h"

#include <fmt/format.h>

#include <filesystem>
#include <memory>
#include <optional>

#include "platform/CachedFile.h"
#include "platform/IniFile.h"
#include "platform/ProgramFolder.h"
#include "platform/StringTable.h"

namespace qingheng {

using namespace std::string_view_literals;

namespace {

// Force of a trigram by its SeasonState (旺 相 休 囚 死).
constexpr std::array<int, 5> kForceBySeason = {100, 80, 60, 50, 35};

// By d = (phase of body − phase of use) mod 5.
constexpr std::array<std::string_view, 5> kBodyUseVerdicts = {
    "体用比和，百事顺遂，谋事易成。", "用生体，为外力助我，有进益之喜。", "用克体，百事凶，不利办事。",
    "体克用，局势被我所控，诸事吉。", "体生用，有耗损之患，须花费代价。",
};

// The difference of help and hindrance beyond which the weighing leans one way.
constexpr int kWeighingMargin = 50;

// The explanation of hexagram n is resource string 1500 + n.
constexpr int kExplanationText = 1500;

constexpr std::string_view kSayingsFile = "meihy.dat";

struct BodyAndUse {
    bool bodyUpper = true;
    Trigram body = 0;
    Trigram use = 0;
};

BodyAndUse bodyAndUse(const Chart& c) {
    bool bodyUpper = c.main.world >= 3;
    if (c.movingCount == 1) {
        for (int i = 0; i < 6; ++i) {
            // The body is the trigram that does not move.
            if (IsMovingLine(c.main.lineCode(i))) bodyUpper = i < 3;
        }
    }
    return bodyUpper ? BodyAndUse{true, c.main.upper, c.main.lower} : BodyAndUse{false, c.main.lower, c.main.upper};
}

struct Weighing {
    int helpCount = 0, helpForce = 0;
    int hinderCount = 0, hinderForce = 0;
};

// The use trigram and the trigrams of the mutual and changed hexagrams, for or against the
// body: a trigram of the body's phase or one that generates it helps, any other hinders.
Weighing weigh(const Chart& c, const BodyAndUse& bu) {
    const Phase body = PhaseOfTrigram(bu.body);
    Weighing w;
    for (Trigram t : {bu.use, c.mutual.upper, c.mutual.lower, c.changed.upper, c.changed.lower}) {
        const Phase p = PhaseOfTrigram(t);
        const int force = TrigramMonthStrength(c, t).force;
        if (p == body || (p + 1) % 5 == body) {
            ++w.helpCount;
            w.helpForce += force;
        } else {
            ++w.hinderCount;
            w.hinderForce += force;
        }
    }
    return w;
}

void appendWeighing(const Weighing& w, std::string& out) {
    out.append("\n  ◇查主、互、变三卦，"sv);
    out.append("生助体卦的卦数有 "sv).append(fmt::format_int(w.helpCount).str());
    out.append("个,力量:"sv).append(fmt::format_int(w.helpForce).str()).append("。"sv);
    out.append("克泄耗体卦的卦数有 "sv).append(fmt::format_int(w.hinderCount).str());
    out.append("个,力量:"sv).append(fmt::format_int(w.hinderForce).str()).append("。"sv);
    const int d = w.helpForce - w.hinderForce;
    if (d > kWeighingMargin) out.append("体卦得生有力，外来助力大，百事顺利。"sv);
    else if (d < -kWeighingMargin) out.append("体卦被扼制，事物发展中遇到的阻力大，谋事难成。"sv);
    else out.append("生克力量均衡，体卦不得生也不得助，要看体卦自身论断。"sv);
}

void appendTrigram(const Chart& c, Trigram t, std::string& out) {
    out.append(TrigramName(t)).append(PhaseName(PhaseOfTrigram(t))).append(TrigramMonthStrength(c, t).phrase);
}

// ---------------------------------------------------------------- dat/meihy.dat

using SayingsBook = std::array<std::array<std::string, 8>, 8>;

SayingsBook parseSayings(const std::filesystem::path& path, const std::optional<std::string>& bytes) {
    SayingsBook book;
    if (!bytes) return book;
    const IniFile ini(path, bytes);
    for (Trigram t = 0; t < 8; ++t) {
        const std::string section = std::string(TrigramName(t)) + "卦";
        for (std::size_t k = 0; k < kMeiHuaTopics.size(); ++k) {
            book[t][k] = ini.readString(section, kMeiHuaTopics[k], "");
        }
    }
    return book;
}

// The sayings as the file holds them now, parsed again only when it changed on disk.
std::shared_ptr<const SayingsBook> sayingsBook() {
    static CachedFile<SayingsBook> file(parseSayings);
    // The home's copy, or the shipped one while the home has none.
    return file.get(keptDatFile(kSayingsFile), keptShippedFile(kSayingsFile));
}

}  // namespace

TrigramStrength TrigramMonthStrength(const Chart& c, Trigram t) {
    const SeasonState s = SeasonStateOf(PhaseOfTrigram(t), c.monthBranch());
    return {kForceBySeason[s], std::string(SeasonStateName(s)) + "于月令。"};
}

std::array<std::string, 8> TrigramSayings(Trigram t) { return (*sayingsBook())[t]; }

void WriteMeiHua(const Chart& c, std::string& out) {
    const bool moving = c.movingCount > 0;
    out.append("卦像解析：　\r\n"sv);
    if (moving) {
        out.append("★互卦："sv).append(HexagramName(c.mutual.number()));
        out.append("("sv).append(TrigramName(c.mutual.palace)).append("宫)。\r\n"sv);
    }
    const BodyAndUse bu = bodyAndUse(c);
    out.append("  ◇体卦为"sv).append(bu.bodyUpper ? "上卦" : "下卦");
    appendTrigram(c, bu.body, out);
    out.append("\n  ◇用卦为"sv).append(bu.bodyUpper ? "下卦" : "上卦");
    appendTrigram(c, bu.use, out);
    out.append(kBodyUseVerdicts[mod(PhaseOfTrigram(bu.body) - PhaseOfTrigram(bu.use), 5)]);

    if (moving) appendWeighing(weigh(c, bu), out);
    if (c.main.rank == 7) out.append("\n  ◇卦遇游魂，出门多为远行，办事不能持久，心无定向，迁改无常。"sv);
    if (c.main.rank == 8) out.append("\n  ◇卦遇归魂，足不出户，论事拘泥不变，易墨守成规。"sv);
    out += FanFuYinText(c);

    out.append("\n★梅花易数断：\n"sv);
    const std::shared_ptr<const SayingsBook> book = sayingsBook();
    const std::array<std::string, 8>& sayings = (*book)[bu.body];
    for (std::size_t k = 0; k < sayings.size(); ++k) {
        if (!sayings[k].empty())
            out.append("  "sv).append(kMeiHuaTopics[k]).append("："sv).append(sayings[k]).append("\n"sv);
    }
    out.append("★主卦解说："sv).append(resourceString(kExplanationText + c.main.number()));
}

}  // namespace qingheng
