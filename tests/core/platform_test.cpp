#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "TemporaryHome.h"
#include "platform/FileUtil.h"
#include "platform/Gbk.h"
#include "platform/IniFile.h"
#include "platform/ProgramFolder.h"
#include "platform/StringTable.h"
#include "platform/StyledText.h"

using namespace qingheng;
namespace fs = std::filesystem;

using qingheng::testing::TemporaryHome;

TEST(Gbk, RoundTripsChineseAndAscii) {
    const std::string text = "乾为天 ━━━○ 螣蛇 abc";
    const auto bytes = gbk::fromUtf8(text);
    ASSERT_TRUE(bytes);
    EXPECT_EQ(static_cast<int>(bytes->size()), gbk::width(text));
    EXPECT_EQ(gbk::toUtf8(*bytes), text);
    // 甲 is B C C D in GBK.
    EXPECT_EQ(*gbk::fromUtf8("甲"), "\xBC\xD7");
}

TEST(Gbk, RefusesInvalidInputInsteadOfReplacingIt) {
    EXPECT_FALSE(gbk::canEncode("emoji 😀"));
    EXPECT_FALSE(gbk::fromUtf8("\xE4\xB8"));  // truncated UTF-8
    EXPECT_FALSE(gbk::toUtf8("\xBC"));        // lead byte without trail
    EXPECT_FALSE(gbk::toUtf8("\xFF\xFF"));    // not GBK
    EXPECT_TRUE(gbk::canEncode("撝餗纆繻"));
}

TEST(Gbk, LenientDecodingReplacesOnlyTheDamagedBytes) {
    const std::string fffd = "\xEF\xBF\xBD";
    struct Case {
        int codePage;
        std::string bytes, expected;
    };
    const Case cases[] = {
        {936, "\xD5\xC5\xC8\xFD", "张三"},
        {936, "\xD5\xC5\xC8", "张" + fffd},  // cut after a lead byte
        {936, "\x81 a", fffd + " a"},        // a lead byte before a blank
        {936,
         "\xFF"
         "b",
         fffd + "b"},                      // never a GBK byte
        {1252, "caf\xE9", "caf\xC3\xA9"},  // another code page
        {99999, "ab\xE9", "ab" + fffd},    // a code page the system lacks
    };
    for (const Case& c : cases) {
        EXPECT_EQ(gbk::codePageToUtf8Leniently(c.codePage, c.bytes), c.expected) << c.codePage << " " << c.bytes;
    }
    EXPECT_FALSE(gbk::codePageToUtf8(99999, "\xE9"));
    EXPECT_EQ(gbk::codePageToUtf8(99999, "ascii"), "ascii");
}

namespace {

// Lenient GBK reading straight from the system's converter: the whole text if it converts,
// else byte by byte, a byte alone, else with the next one, else U+FFFD.
std::string convertedLeniently(std::string_view bytes) {
    if (auto whole = gbk::codePageToUtf8(gbk::kCodePage, bytes)) return *whole;
    std::string out;
    for (std::size_t i = 0; i < bytes.size();) {
        if (auto one = gbk::codePageToUtf8(gbk::kCodePage, bytes.substr(i, 1))) {
            out += *one;
            i += 1;
        } else if (auto two =
                       i + 1 < bytes.size() ? gbk::codePageToUtf8(gbk::kCodePage, bytes.substr(i, 2)) : std::nullopt) {
            out += *two;
            i += 2;
        } else {
            gbk::appendUtf8(out, gbk::kReplacementCharacter);
            i += 1;
        }
    }
    return out;
}

}  // namespace

// GBK case fields are read through a table filled from the converter; a table entry that
// differs from the converter (a wrong trail range, a byte taken alone that leads a pair,
// a character cut at the end) would show in one of these texts.
TEST(Gbk, TableReadingGivesExactlyWhatTheConverterGives) {
    for (int b = 0; b < 256; ++b) {
        const std::string one(1, static_cast<char>(b));
        ASSERT_EQ(gbk::codePageToUtf8Leniently(gbk::kCodePage, one), convertedLeniently(one)) << b;
        for (int t = 0; t < 256; ++t) {
            const std::string two = {static_cast<char>(b), static_cast<char>(t)};
            ASSERT_EQ(gbk::codePageToUtf8Leniently(gbk::kCodePage, two), convertedLeniently(two)) << b << " " << t;
        }
    }
    // Longer texts mixing ASCII, lead and trail bytes, cut anywhere.
    std::uint32_t seed = 12345;
    const auto next = [&seed] { return seed = seed * 1103515245u + 12345u, (seed >> 8) & 0xFF; };
    for (int k = 0; k < 20000; ++k) {
        std::string text(1 + next() % 12, '\0');
        for (char& c : text) c = static_cast<char>(next() % 4 == 0 ? 0x20 + next() % 0x60 : 0x80 + next() % 0x80);
        ASSERT_EQ(gbk::codePageToUtf8Leniently(gbk::kCodePage, text), convertedLeniently(text)) << k;
    }
}

TEST(Utf8, DecodesOnlyWellFormedSequences) {
    struct Case {
        std::string text;
        std::optional<char32_t> first;
    };
    const Case cases[] = {
        {"a", U'a'},
        {"甲", U'甲'},
        {"😀", U'😀'},
        {"\xE4\xB8", std::nullopt},          // cut short
        {"\xC0\x80", std::nullopt},          // overlong zero
        {"\xED\xA0\x80", std::nullopt},      // a surrogate
        {"\xF4\x90\x80\x80", std::nullopt},  // past U+10FFFF
        {"\x80", std::nullopt},              // a continuation byte first
    };
    for (const Case& c : cases) {
        std::size_t i = 0;
        EXPECT_EQ(gbk::decodeUtf8(c.text, i), c.first) << c.text;
        EXPECT_EQ(i, c.first ? c.text.size() : 0u) << c.text;
        EXPECT_EQ(gbk::isValidUtf8(c.text), c.first.has_value()) << c.text;
        if (c.first) {
            std::string again;
            gbk::appendUtf8(again, *c.first);
            EXPECT_EQ(again, c.text);
        }
    }
}

TEST(Gbk, WidthsPaddingAndSlicing) {
    EXPECT_EQ(gbk::width("甲"), 2);
    EXPECT_EQ(gbk::width("━━━  "), 8);
    EXPECT_EQ(gbk::width("━　━×"), 8);
    EXPECT_EQ(gbk::width("(卦身：午)"), 10);
    EXPECT_EQ(gbk::padLeft("甲", 4), "  甲");
    EXPECT_EQ(gbk::padRight("乾为天", 8), "乾为天  ");
    EXPECT_EQ(gbk::padRight("火天大有", 8), "火天大有");
    EXPECT_EQ(gbk::slice("ab乾为天", 2, 4), "乾为");
    EXPECT_EQ(gbk::slice("ab乾为天", 3, 4), "为");  // 乾 is cut by the start: left out
    EXPECT_EQ(gbk::truncate("求测人张三", 7), "求测人");
    // The euro sign is the one character besides ASCII that GBK keeps in a single byte (0x80).
    EXPECT_EQ(gbk::fromUtf8("价€5"), std::optional<std::string>("\xBC\xDB\x80"
                                                                "5"));
    EXPECT_EQ(gbk::width("价€5"), 4);
    EXPECT_EQ(gbk::padRight("€", 3), "€  ");
    EXPECT_EQ(gbk::slice("€价€", 1, 3), "价€");
    EXPECT_TRUE(gbk::isLeadByte(0xB0));
    EXPECT_FALSE(gbk::isLeadByte(0x80));
    EXPECT_TRUE(gbk::isTrailByte(0x40));
    EXPECT_FALSE(gbk::isTrailByte(0x7F));
}

TEST(IniFile, MissingFileGivesDefaults) {
    const TemporaryHome home("missing");
    const IniFile ini(home / "none.ini");
    EXPECT_TRUE(ini.loadStatus().ok);
    EXPECT_EQ(ini.readString("minggao", "fname", "宋体"), "宋体");
    EXPECT_EQ(ini.readInteger("winpos", "left", 10), 10);
    EXPECT_FALSE(ini.readBool("set", "nagan", false));
}

TEST(IniFile, RoundTripsChineseSectionsAndKeysInGbk) {
    const TemporaryHome home("roundtrip");
    const fs::path path = home / "dat" / "test.ini";
    {
        IniFile ini(path);
        ini.writeString("类别", "名称", "临时保存");
        ini.writeInteger("winpos", "left", -5);
        ini.writeBool("set", "nagan", true);
        ASSERT_TRUE(ini.save().ok);  // creates the dat folder
    }
    const auto bytes = readFileBytes(path);
    ASSERT_TRUE(bytes);
    EXPECT_NE(bytes->find(*gbk::fromUtf8("[类别]")), std::string::npos);  // GBK on disk
    EXPECT_NE(bytes->find("\r\n"), std::string::npos);
    const IniFile again(path);
    EXPECT_EQ(again.readString("类别", "名称", ""), "临时保存");
    EXPECT_EQ(again.readInteger("WINPOS", "Left", 0), -5);
    EXPECT_TRUE(again.readBool("set", "nagan", false));
    EXPECT_EQ(again.readInteger("set", "nagan", 7), 1);
    EXPECT_EQ(again.readInteger("winpos", "missing", 7), 7);
}

TEST(IniFile, ReadsFilesWrittenByOtherProgramsAndRefusesUnencodableText) {
    const TemporaryHome home("foreign");
    const fs::path path = home / "lyinit.ini";
    {
        std::ofstream out(path, std::ios::binary);
        out << "[minggao]\r\nfname=" << *gbk::fromUtf8("宋体") << "\r\nfsize=abc\r\n";
    }
    IniFile ini(path);
    EXPECT_EQ(ini.readString("minggao", "fname", ""), "宋体");
    EXPECT_EQ(ini.readInteger("minggao", "fsize", 12), 12);  // not a number: the default
    ini.writeString("classes", "1", "😀");
    EXPECT_FALSE(ini.save().ok);
    EXPECT_EQ(IniFile(path).readString("minggao", "fname", ""), "宋体");  // old file intact
}

TEST(StringTable, ParsesEscapesAndSkipsComments) {
    std::vector<std::pair<int, std::string>> entries;
    std::string error;
    ASSERT_TRUE(parseStringSource(
        "# comment\n5\ta\\r\\nb\\\\c\\t\n\n6\t\n", [&](int id, std::string text) { entries.emplace_back(id, text); },
        &error));
    ASSERT_EQ(entries.size(), 2u);
    EXPECT_EQ(entries[0].second, "a\r\nb\\c\t");
    EXPECT_EQ(entries[1].second, "");
    EXPECT_FALSE(parseStringSource(
        "x\tbad id\n", [](int, std::string) {}, &error));
    EXPECT_FALSE(parseStringSource(
        "1\tbad escape \\q\n", [](int, std::string) {}, &error));
    EXPECT_EQ(error, "line 1");
}

TEST(StringTable, MissingIdReadsAsEmpty) {
    EXPECT_EQ(resourceString(999999), "");
    EXPECT_EQ(gbk::width(resourceString(700)), 64 * 8);
}

TEST(ProgramFolder, HomeOptionOverridesAndIsRemovedFromArguments) {
    const TemporaryHome home("option");
    std::string a0 = "prog", a1 = "--home", a2 = home.path().string(), a3 = "chart";
    char* argv[] = {a0.data(), a1.data(), a2.data(), a3.data(), nullptr};
    int argc = 4;
    initProgramFolder(argc, argv);
    EXPECT_EQ(argc, 2);
    EXPECT_STREQ(argv[1], "chart");
    EXPECT_EQ(programFolder(), home.path());
    EXPECT_EQ(datFile("set.ini"), home.dat() / "set.ini");
}

TEST(ProgramFolder, KeptPathsFollowTheHome) {
    qingheng::testing::TemporaryHome first("kept1"), second("kept2");
    first.useAsProgramFolder();
    EXPECT_EQ(keptDatFile("set.ini"), first.dat() / "set.ini");
    EXPECT_EQ(keptDatFile("meihy.dat"), first.dat() / "meihy.dat");
    EXPECT_EQ(keptShippedFile("meihy.dat"), fs::path());  // a home set directly has no shipped data
    setHome(Home{second.path(), HomeReason::Option, first.dat()});
    EXPECT_EQ(keptDatFile("set.ini"), second.dat() / "set.ini");
    EXPECT_EQ(keptDatFile("meihy.dat"), datFile("meihy.dat"));
    EXPECT_EQ(keptShippedFile("meihy.dat"), first.dat() / "meihy.dat");
    EXPECT_EQ(keptShippedFile("set.ini"), fs::path());  // not a shipped file
}

TEST(StyledText, DisplayTextTurnsEachCrLfIntoOneLineBreak) {
    const std::pair<std::string, std::string> cases[] = {
        {"", ""},
        {"a\r\nb", "a\nb"},
        {"\r\r\n", "\r\n"},
        {"a\r", "a\r"},
        {"\n\r", "\n\r"},
        {"\r\n\r\n", "\n\n"},
        {"甲\r\n乙\n丙\r", "甲\n乙\n丙\r"},
    };
    for (const auto& [text, shown] : cases) EXPECT_EQ(displayText(text), shown) << text;
}
