// The Mei Hua reading of the plum-blossom report, whole sections worked by hand, with the
// sayings read from a private dat/meihy.dat; the 反吟/伏吟 rule; the shipped meihy.dat.
// At 2024-02-10 09:30 the month is 寅: 木 旺 100, 火 相 80, 水 休 60, 金 囚 50, 土 死 35.
#include <gtest/gtest.h>

#include <filesystem>

#include "ChartFixture.h"
#include "TemporaryHome.h"
#include "chart/MeiHua.h"
#include "platform/FileUtil.h"
#include "platform/Gbk.h"
#include "platform/IniFile.h"
#include "platform/StringTable.h"

using namespace qingheng;
using qingheng::testing::assembled;
namespace fs = std::filesystem;

namespace {

// Sayings in an order other than the printing order, one empty, some trigrams without any.
constexpr std::string_view kSayingsFile =
    ";测试用\r\n[乾卦]\r\n出行=乾行\r\n家宅=乾宅\r\n[艮卦]\r\n疾病=艮病\r\n生产=艮产\r\n[震卦]\r\n官讼=震讼\r\n"
    "[离卦]\r\n家宅=\r\n";

class MeiHuaReading : public ::testing::Test {
protected:
    void SetUp() override { home_.withDatFolder().useAsProgramFolder(); }

    void writeSayings(std::string_view bytes) { home_.writeDatFile("meihy.dat", bytes); }
    void writeTestSayings() { home_.writeGbkDatFile("meihy.dat", kSayingsFile); }

    qingheng::testing::TemporaryHome home_{"meihua"};
};

// The Mei Hua section written for a chart, and the same text as the report holds it.
std::string meiHuaOf(const CLiuYaoEx& e) {
    std::string written;
    WriteMeiHua(e.chart(), written);
    const std::string pictures = e.hexText.substr(0, e.hexText.find("卦像解析：　"));
    EXPECT_EQ(e.hexText.compare(pictures.size(), written.size(), written), 0);
    return written;
}

std::string explanationOf(int number) { return "★主卦解说：" + resourceString(1500 + number); }

const std::string kQianSayings = "\n★梅花易数断：\n  家宅：乾宅\n  出行：乾行\n";

struct MeiHuaCase {
    const char* what;
    const char* code;
    int number;  // of the main hexagram
    std::string expected;
};

const MeiHuaCase kReadings[] = {
    {"static 乾为天: world on line 6, body above, no weighing", "111111", 1,
     "卦像解析：　\r\n  ◇体卦为上卦乾金囚于月令。\n  ◇用卦为下卦乾金囚于月令。体用比和，百事顺遂，谋事易成。" +
         kQianSayings},
    {"one moving line below: body above; inner 巽 into 乾 is 反吟", "111114", 2,
     "卦像解析：　\r\n★互卦：乾为天(乾宫)。\r\n  ◇体卦为上卦乾金囚于月令。\n  ◇用卦为下卦巽木旺于月令。"
     "体克用，局势被我所控，诸事吉。"
     "\n  ◇查主、互、变三卦，生助体卦的卦数有 4个,力量:200。克泄耗体卦的卦数有 1个,力量:100。"
     "体卦得生有力，外来助力大，百事顺利。"
     "\n  ◇内卦反吟，有求测人不安之像，不利测事。" +
         kQianSayings},
    {"one moving line on line 5: body below; outer 乾 into 离 is 反吟", "131111", 1,
     "卦像解析：　\r\n★互卦：乾为天(乾宫)。\r\n  ◇体卦为下卦乾金囚于月令。\n  ◇用卦为上卦乾金囚于月令。"
     "体用比和，百事顺遂，谋事易成。"
     "\n  ◇查主、互、变三卦，生助体卦的卦数有 4个,力量:200。克泄耗体卦的卦数有 1个,力量:80。"
     "体卦得生有力，外来助力大，百事顺利。"
     "\n  ◇外卦反吟，有他人或它物不安之像，不利测事。" +
         kQianSayings},
    {"two moving lines, world on line 2: body below, held down", "311124", 3,
     "卦像解析：　\r\n★互卦：天风姤(乾宫)。\r\n  ◇体卦为下卦艮土死于月令。\n  ◇用卦为上卦乾金囚于月令。"
     "体生用，有耗损之患，须花费代价。"
     "\n  ◇查主、互、变三卦，生助体卦的卦数有 1个,力量:80。克泄耗体卦的卦数有 4个,力量:250。"
     "体卦被扼制，事物发展中遇到的阻力大，谋事难成。"
     "\n★梅花易数断：\n  生产：艮产\n  疾病：艮病\n"},
    {"help 180 against 130 (D = 50) is balanced", "322121", 50,
     "卦像解析：　\r\n★互卦：雷水解(震宫)。\r\n  ◇体卦为下卦离火相于月令。\n  ◇用卦为上卦艮土死于月令。"
     "体生用，有耗损之患，须花费代价。"
     "\n  ◇查主、互、变三卦，生助体卦的卦数有 2个,力量:180。克泄耗体卦的卦数有 3个,力量:130。"
     "生克力量均衡，体卦不得生也不得助，要看体卦自身论断。"
     "\n★梅花易数断：\n"},
    {"help 160 against 210 (D = -50) is balanced; two moving lines, world on line 5", "243121", 46,
     "卦像解析：　\r\n★互卦：泽风大过(震宫)。\r\n  ◇体卦为上卦震木旺于月令。\n  ◇用卦为下卦离火相于月令。"
     "体生用，有耗损之患，须花费代价。"
     "\n  ◇查主、互、变三卦，生助体卦的卦数有 2个,力量:160。克泄耗体卦的卦数有 3个,力量:210。"
     "生克力量均衡，体卦不得生也不得助，要看体卦自身论断。"
     "\n★梅花易数断：\n  官讼：震讼\n"},
    {"static 火地晋 (游魂): body above", "121222", 7,
     "卦像解析：　\r\n  ◇体卦为上卦离火相于月令。\n  ◇用卦为下卦坤土死于月令。体生用，有耗损之患，须花费代价。"
     "\n  ◇卦遇游魂，出门多为远行，办事不能持久，心无定向，迁改无常。\n★梅花易数断：\n"},
    {"static 火天大有 (归魂): body below", "121111", 8,
     "卦像解析：　\r\n  ◇体卦为下卦乾金囚于月令。\n  ◇用卦为上卦离火相于月令。用克体，百事凶，不利办事。"
     "\n  ◇卦遇归魂，足不出户，论事拘泥不变，易墨守成规。" +
         kQianSayings},
    {"static 地天泰: the use generates the body", "222111", 60,
     "卦像解析：　\r\n  ◇体卦为下卦乾金囚于月令。\n  ◇用卦为上卦坤土死于月令。用生体，为外力助我，有进益之喜。" +
         kQianSayings},
};

}  // namespace

TEST_F(MeiHuaReading, WholeSectionsWorkedByHand) {
    writeTestSayings();
    for (const MeiHuaCase& k : kReadings) {
        const CLiuYaoEx e = assembled({k.code});
        EXPECT_EQ(e.chart().main.number(), k.number) << k.what;
        EXPECT_EQ(meiHuaOf(e), k.expected + explanationOf(k.number)) << k.what;
    }
}

TEST_F(MeiHuaReading, MissingOrUnreadableSayingsLeaveTheHeadingAlone) {
    const std::string expected =
        "卦像解析：　\r\n  ◇体卦为上卦乾金囚于月令。\n  ◇用卦为下卦乾金囚于月令。体用比和，百事顺遂，谋事易成。"
        "\n★梅花易数断：\n" +
        explanationOf(1);
    EXPECT_EQ(meiHuaOf(assembled({"111111"})), expected);

    writeSayings("[\xC7\xAC\xD8\xD4]\r\n\xBC\xD2\xD5\xAC=\xFF\xFF\r\n");  // not GBK
    EXPECT_EQ(meiHuaOf(assembled({"111111"})), expected);
}

TEST_F(MeiHuaReading, AnEditedSayingsFileShowsInTheNextChart) {
    writeTestSayings();
    EXPECT_EQ(TrigramSayings(0)[0], "乾宅");
    home_.writeGbkDatFile("meihy.dat", "[乾卦]\r\n家宅=新的乾宅说法\r\n");
    EXPECT_EQ(TrigramSayings(0)[0], "新的乾宅说法");
    writeSayings(*gbk::fromUtf8("[乾卦]\r\n家宅=旧的乾宅说法\r\n"));  // same size at once
    EXPECT_EQ(TrigramSayings(0)[0], "旧的乾宅说法");
    EXPECT_EQ(TrigramSayings(0)[7], "");
    fs::remove(home_.dat() / "meihy.dat");
    EXPECT_EQ(TrigramSayings(0)[0], "");
}

TEST_F(MeiHuaReading, TheShippedSayingsServeUntilTheHomeHasItsOwn) {
    qingheng::testing::TemporaryHome shipped("meihua_shipped");
    shipped.writeGbkDatFile("meihy.dat", "[乾卦]\r\n家宅=随程序的乾宅说法\r\n");
    setHome(Home{home_.path(), HomeReason::Option, shipped.dat()});
    EXPECT_EQ(TrigramSayings(0)[0], "随程序的乾宅说法");
    writeTestSayings();
    EXPECT_EQ(TrigramSayings(0)[0], "乾宅");
    fs::remove(home_.dat() / "meihy.dat");
    EXPECT_EQ(TrigramSayings(0)[0], "随程序的乾宅说法");
}

TEST(TrigramMonthStrength, ForceAndPhraseBySeason) {
    // In a 寅 month: 震 旺, 离 相, 坎 休, 乾 囚, 坤 死.
    const Chart c = assembled({"111111"}).chart();
    const struct {
        Trigram t;
        int force;
        const char* phrase;
    } cases[] = {{3, 100, "旺于月令。"},
                 {2, 80, "相于月令。"},
                 {5, 60, "休于月令。"},
                 {0, 50, "囚于月令。"},
                 {7, 35, "死于月令。"}};
    for (const auto& k : cases) {
        const TrigramStrength s = TrigramMonthStrength(c, k.t);
        EXPECT_EQ(s.force, k.force) << TrigramName(k.t);
        EXPECT_EQ(s.phrase, k.phrase) << TrigramName(k.t);
    }
}

TEST(FanFuYin, EachTrigramAndTheFlags) {
    struct Case {
        const char* what;
        const char* code;
        int outer, inner;
        const char* text;
    };
    const Case cases[] = {
        {"outer 乾 into 巽: metal and wood, line 5 申 into 巳", "113222", 1, 0,
         "\n  ◇外卦反吟，有他人或它物不安之像，不利测事。"},
        {"outer 乾 into 震: line 5 stays 申", "331222", 2, 0,
         "\n  ◇外卦反吟，有他人或它物不安之像，不利测事。\n  ◇外卦伏吟，有他人或它物忧虑呻吟之像，不利测事。"},
        {"inner 离 into 乾: fire and metal, line 2 丑 into 寅", "222141", 0, 1,
         "\n  ◇内卦反吟，有求测人不安之像，不利测事。"},
        {"inner 震 into 乾: line 2 stays 寅", "222441", 0, 2,
         "\n  ◇内卦反吟，有求测人不安之像，不利测事。\n  ◇内卦伏吟，有求测人忧虑呻吟之像，不利测事。"},
        {"outer 乾 into 兑: same phase, line 5 申 into 酉", "311222", 0, 0, ""},
    };
    for (const Case& k : cases) {
        const CLiuYaoEx e = assembled({k.code});
        EXPECT_EQ(e.chart().fanFuYinOuter, k.outer) << k.what;
        EXPECT_EQ(e.chart().fanFuYinInner, k.inner) << k.what;
        EXPECT_EQ(FanFuYinText(e.chart()), k.text) << k.what;
        if (*k.text) {
            EXPECT_NE(e.hexText.find(std::string(k.text) + "\n★梅花易数断："), std::string::npos) << k.what;
        }
    }
}

TEST(ShippedSayings, EveryTrigramAndCategoryIsComplete) {
    const fs::path file = fs::path(QH_SOURCE_DIR) / "data" / "dat" / "meihy.dat";
    const IniFile ini(file);
    ASSERT_TRUE(ini.loadStatus().ok);
    const auto text = gbk::toUtf8(*readFileBytes(file));
    ASSERT_TRUE(text);
    EXPECT_EQ(text->front(), ';');  // the comment that says what the file is

    for (Trigram t = 0; t < 8; ++t) {
        const std::string section = std::string(TrigramName(t)) + "卦";
        for (std::string_view key : kMeiHuaTopics) {
            const std::string saying = ini.readString(section, key, "");
            const int length = characterCount(saying);
            EXPECT_TRUE(length >= 15 && length <= 40) << section << " " << key << ": " << saying;
        }
    }
    for (std::string_view category :
         {"天气", "求财", "求官", "学业", "婚姻", "词讼", "房屋", "病伤", "行人", "六神", "杂项"}) {
        const int total = ini.readInteger(category, "tol", 0);
        EXPECT_TRUE(total >= 15 && total <= 30) << category << " tol=" << total;
        for (int i = 1; i <= total; ++i) {
            EXPECT_FALSE(ini.readString(category, std::to_string(i), "").empty()) << category << " " << i;
        }
        EXPECT_FALSE(ini.hasKey(category, std::to_string(total + 1))) << category;
    }
}
