// The classic texts in the string table and the section that quotes them in both reports,
// compared with the data files the table is generated from. Each entry's palace-order number
// is worked out here with the palace rules from its two trigrams.
#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <algorithm>
#include <fstream>

#include "ChartFixture.h"
#include "chart/ClassicTexts.h"
#include "platform/Gbk.h"
#include "platform/StringTable.h"
#include "platform/StyledText.h"

using namespace qingheng;
using nlohmann::json;
using qingheng::testing::assembled;

namespace {

json load(const std::string& relative) {
    std::ifstream in(std::string(QH_SOURCE_DIR) + "/" + relative);
    return json::parse(in);
}

const json& zhouyi() {
    static const json data = load("tools/data/zhouyi.json");
    return data;
}

const json& coinVerses() {
    static const json data = load("tools/data/coin_verses.json");
    return data;
}

// The project's own texts of a King Wen number.
json ownTexts(int kingWen) {
    for (const char* file : {"kw01-16", "kw17-32", "kw33-48", "kw49-64"}) {
        for (const json& h : load(std::string("tools/content/classics/") + file + ".json")) {
            if (h["number"] == kingWen) return h;
        }
    }
    return {};
}

const json& classicOf(int kingWen) {
    for (const json& h : zhouyi()) {
        if (h["number"] == kingWen) return h;
    }
    throw std::runtime_error("no classic");
}

int palaceNumber(const json& entry) {
    auto trigram = [](const json& name) {
        const auto it = std::find(kTrigramNames.begin(), kTrigramNames.end(), name.get<std::string>());
        return static_cast<Trigram>(it - kTrigramNames.begin());
    };
    const PalacePlace place = LocatePalace(TrigramCode(trigram(entry["upper"])) + TrigramCode(trigram(entry["lower"])));
    return HexagramNumber(place.palace, place.rank);
}

std::string str(const json& j) { return j.get<std::string>(); }

std::string hexagramText(const json& h) { return str(h["judgement"]) + "t" + str(h["tuan"]) + "x" + str(h["xiang"]); }
std::string lineText(const json& line) { return str(line["text"]) + "x" + str(line["xiang"]); }

std::string coinLesson(const json& classic) {
    for (const json& c : coinVerses()) {
        if (c["upper"] == classic["upper"] && c["lower"] == classic["lower"])
            return str(c["verse"]) + "\r\n" + str(c["grade"]);
    }
    return {};
}

std::string sectionOf(const std::string& report) { return report.substr(report.find("\r\n\r\n易经卦爻辞(原文)：")); }

std::vector<std::string> splitParagraphs(const std::string& text) {
    std::vector<std::string> out;
    std::size_t from = 0;
    for (std::size_t at; (at = text.find("\r\n", from)) != std::string::npos; from = at + 2) {
        out.push_back(text.substr(from, at - from));
    }
    out.push_back(text.substr(from));
    return out;
}

bool startsWith(const std::string& s, const std::string& prefix) { return s.rfind(prefix, 0) == 0; }

}  // namespace

TEST(ClassicTable, EveryHexagramTextHasOneTBeforeOneXAndEveryLineTextOneX) {
    auto count = [](const std::string& s, char c) { return std::count(s.begin(), s.end(), c); };
    for (int n = 1; n <= 64; ++n) {
        const std::string& h = resourceString(HexagramTextId(n));
        EXPECT_EQ(count(h, 't'), 1) << n;
        EXPECT_EQ(count(h, 'x'), 1) << n;
        EXPECT_LT(h.find('t'), h.find('x')) << n;
        for (int k = 1; k <= 6; ++k) {
            const std::string& line = resourceString(LineTextId(n, k));
            EXPECT_EQ(count(line, 'x'), 1) << n << " line " << k;
            EXPECT_EQ(count(line, 't'), 0) << n << " line " << k;
        }
    }
    for (int id : {kQianExtraId, kKunExtraId}) EXPECT_EQ(count(resourceString(id), 'x'), 1) << id;
}

TEST(ClassicTable, AncientTextsAndCoinVersesStandInPalaceOrder) {
    ASSERT_EQ(zhouyi().size(), 64u);
    for (const json& h : zhouyi()) {
        const int n = palaceNumber(h);
        EXPECT_EQ(resourceString(HexagramTextId(n)), hexagramText(h)) << n;
        for (int k = 1; k <= 6; ++k) EXPECT_EQ(resourceString(LineTextId(n, k)), lineText(h["lines"][k - 1])) << n;
        EXPECT_EQ(resourceString(CoinLessonId(n)), coinLesson(h)) << n;
    }
    EXPECT_EQ(resourceString(kQianExtraId), "用九:" + lineText(classicOf(1)["extra"]));
    EXPECT_EQ(resourceString(kKunExtraId), "用六:" + lineText(classicOf(2)["extra"]));
    // Spot checks of the order itself: 天风姤 is second, 水地比 last.
    EXPECT_TRUE(startsWith(resourceString(107), "女壮，勿用取女。t"));
    EXPECT_TRUE(startsWith(resourceString(541), "吉。原筮元永贞，无咎。"));
}

TEST(ClassicSection, QianAndKunQuoteTheirStringsByteForByte) {
    struct Case {
        const char* code;
        int kingWen;
        const char* name;
        std::array<const char*, 6> lineNames;
        int firstId, vernacularId, coinId;
    };
    const Case cases[] = {
        {"111111", 1, "乾为天", {"初九", "九二", "九三", "九四", "九五", "上九"}, 100, 1600, 1401},
        {"222222", 2, "坤为地", {"初六", "六二", "六三", "六四", "六五", "上六"}, 492, 1656, 1457},
    };
    for (const Case& c : cases) {
        const json& classic = classicOf(c.kingWen);
        const json own = ownTexts(c.kingWen);
        const CLiuYaoEx e = assembled({c.code});
        std::string expected = "\r\n\r\n易经卦爻辞(原文)：\n◆" + std::string(c.name) + ":" + str(classic["judgement"]) +
                               "\n  " + str(classic["tuan"]) + "\n  " + str(classic["xiang"]) + "\n";
        for (int k = 0; k < 6; ++k) {
            const json& line = classic["lines"][k];
            expected +=
                "◇" + std::string(c.lineNames[k]) + ":" + str(line["text"]) + "\n  " + str(line["xiang"]) + "\n";
        }
        std::string vernacular = "卦辞：" + str(own["judgement"]);
        for (int k = 0; k < 6; ++k) vernacular += "\r\n" + std::string(c.lineNames[k]) + "：" + str(own["lines"][k]);
        vernacular += (c.kingWen == 1 ? "\r\n用九：" : "\r\n用六：") + str(own["extra"]);
        expected += "\n易经卦爻辞(白话)：\n【古经】" + vernacular + "\r\n\r\n【彖传】" + str(own["tuan"]) +
                    "\r\n\r\n【象传】" + str(own["xiang"]) + "\r\n\r\n六十四金钱课：\n主卦断：" + coinLesson(classic);

        EXPECT_EQ(sectionOf(e.lineText), expected) << c.name;
        EXPECT_EQ(sectionOf(e.hexText), expected) << c.name;
        // The ids the section quotes.
        EXPECT_EQ(resourceString(c.firstId), hexagramText(classic)) << c.name;
        EXPECT_EQ(resourceString(c.firstId + 6), lineText(classic["lines"][5])) << c.name;
        EXPECT_EQ(resourceString(c.vernacularId), vernacular) << c.name;
        EXPECT_EQ(resourceString(c.vernacularId + 100), str(own["tuan"])) << c.name;
        EXPECT_EQ(resourceString(c.vernacularId + 200), str(own["xiang"])) << c.name;
        EXPECT_EQ(resourceString(c.coinId), coinLesson(classic)) << c.name;
    }
}

TEST(ClassicSection, LinesAreNamedByPolarityAndOnlyTheMainHexagramIsQuoted) {
    struct Name {
        int position;
        bool yang;
        const char* name;
    };
    for (const Name& n : {Name{1, true, "初九"}, Name{1, false, "初六"}, Name{2, true, "九二"}, Name{3, false, "六三"},
                          Name{5, false, "六五"}, Name{6, true, "上九"}, Name{6, false, "上六"}}) {
        EXPECT_EQ(LineName(n.position, n.yang), n.name);
    }
    // 天泽履 with line 3 cast as a moving yin line, turning into 乾为天.
    const CLiuYaoEx e = assembled({"111411"});
    const std::string section = sectionOf(e.lineText);
    EXPECT_NE(section.find("◆天泽履:履虎尾，不咥人，亨。\n"), std::string::npos);
    EXPECT_NE(section.find("\n◇六三:眇能视，跛能履，履虎尾，咥人凶。武人为于大君。\n"), std::string::npos);
    EXPECT_NE(section.find("\n◇初九:素履，往无咎。\n"), std::string::npos);
    EXPECT_EQ(section.find("◆乾为天"), std::string::npos);
    // 卼 is 0x85 0x74 in GBK, its second byte the letter t; the marker search must not stop there.
    EXPECT_NE(sectionOf(assembled({"211212"}).lineText)
                  .find("\n◇上六:困于葛藟，于臲卼，曰动悔有悔，征吉。\n  象曰：困于葛藟，未当也；动悔有悔，吉行也。\n"),
              std::string::npos);
    // Moving yang lines keep 九.
    EXPECT_NE(sectionOf(assembled({"333333"}).lineText).find("◇九五:飞龙在天，利见大人。"), std::string::npos);
}

TEST(ClassicSection, MissingMarkersLeaveTheRestEmpty) {
    struct Split {
        const char* text;
        const char* judgement;
        const char* tuan;
        const char* xiang;
    };
    for (const Split& s :
         {Split{"AtBxC", "A", "B", "C"}, Split{"A", "A", "", ""}, Split{"AtB", "A", "B", ""},
          Split{"AxC", "A", "", "C"}, Split{"", "", "", ""}, Split{"tx", "", "", ""}, Split{"AxBtC", "AxB", "C", ""}}) {
        const HexagramTextParts p = SplitHexagramText(s.text);
        EXPECT_EQ(p.judgement, s.judgement) << s.text;
        EXPECT_EQ(p.tuan, s.tuan) << s.text;
        EXPECT_EQ(p.xiang, s.xiang) << s.text;
    }
    for (const Split& s : {Split{"AxB", "A", "B", ""}, Split{"A", "A", "", ""}, Split{"x", "", "", ""},
                           Split{"AxBxC", "A", "BxC", ""}}) {
        const LineTextParts p = SplitLineText(s.text);
        EXPECT_EQ(p.text, s.judgement) << s.text;
        EXPECT_EQ(p.xiang, s.tuan) << s.text;
    }

    ClassicTexts broken;
    broken.name = "乾为天";
    broken.hexagram = "元亨";
    broken.lines[0] = "潜龙";
    EXPECT_EQ(ClassicSection(broken, "111111"),
              "\r\n\r\n易经卦爻辞(原文)：\n◆乾为天:元亨\n  \n  \n◇初九:潜龙\n  \n◇九二:\n  \n◇九三:\n  \n"
              "◇九四:\n  \n◇九五:\n  \n◇上九:\n  \n\n易经卦爻辞(白话)：\n【古经】\r\n\r\n【彖传】\r\n\r\n"
              "【象传】\r\n\r\n六十四金钱课：\n主卦断：");
}

TEST(ClassicSection, TitlesAreBlueAndBoldInBothReports) {
    const CLiuYaoEx e = assembled({"111114"});
    for (const auto* report : {&e.lineText, &e.hexText}) {
        const auto& spans = report == &e.lineText ? e.lineSpans : e.hexSpans;
        const std::string shown = displayText(*report);
        for (const std::string title : {"易经卦爻辞(原文)：", "易经卦爻辞(白话)：", "六十四金钱课："}) {
            const int start = characterCount(std::string_view(shown).substr(0, shown.find(title)));
            const auto it = std::find_if(spans.begin(), spans.end(), [&](const StyleSpan& s) {
                return s.start == start && s.length == characterCount(title) && s.color == kBlue && s.bold == true;
            });
            EXPECT_NE(it, spans.end()) << title;
        }
    }
}

TEST(WrittenTexts, NonEmptyGbkAndWithinTheirLengths) {
    auto inRange = [](const std::string& text, int lo, int hi) {
        const int chars = characterCount(text);
        return gbk::canEncode(text) && chars >= lo && chars <= hi &&
               std::none_of(text.begin(), text.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; });
    };
    for (int n = 1; n <= 64; ++n) {
        EXPECT_TRUE(inRange(resourceString(ExplanationId(n)), 60, 150)) << "explanation " << n;
        EXPECT_TRUE(inRange(resourceString(TuanNotesId(n)), 50, 300)) << "彖 notes " << n;
        EXPECT_TRUE(inRange(resourceString(XiangNotesId(n)), 25, 150)) << "象 notes " << n;

        const std::vector<std::string> paragraphs = splitParagraphs(resourceString(VernacularId(n)));
        const bool hasExtra = n == 1 || n == 57;
        ASSERT_EQ(paragraphs.size(), hasExtra ? 8u : 7u) << n;
        const std::string code = PalaceMemberCode((n - 1) / 8, (n - 1) % 8 + 1);
        for (std::size_t k = 0; k < paragraphs.size(); ++k) {
            std::string label = "卦辞：";
            if (k >= 1 && k <= 6) label = LineName(int(k), code[6 - k] == '1') + "：";
            if (k == 7) label = n == 1 ? "用九：" : "用六：";
            ASSERT_TRUE(startsWith(paragraphs[k], label)) << n << " paragraph " << k;
            const std::string body = paragraphs[k].substr(label.size());
            EXPECT_TRUE(k == 0 ? inRange(body, 15, 150) : inRange(body, 12, 120)) << n << " paragraph " << k;
        }
        const std::string& coin = resourceString(CoinLessonId(n));
        EXPECT_TRUE(gbk::canEncode(coin) && coin.find("\r\n") != std::string::npos && coin.ends_with("卦")) << n;
    }
}
