#include "platform/Rtf.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "TemporaryHome.h"
#include "platform/FileUtil.h"

namespace qingheng {
namespace {

namespace fs = std::filesystem;

constexpr Rgb kGreen{0, 128, 0};

// Runs with their neighbours of equal style joined and empty runs dropped, so two
// documents compare by what they show.
std::vector<StyledRun> joinedRuns(const StyledDocument& doc) {
    std::vector<StyledRun> out;
    for (const StyledRun& run : doc.runs) {
        if (run.text.empty()) continue;
        if (!out.empty() && out.back().style == run.style) {
            out.back().text += run.text;
        } else {
            out.push_back(run);
        }
    }
    return out;
}

void expectSameRuns(const std::vector<StyledRun>& expected, const std::vector<StyledRun>& actual) {
    ASSERT_EQ(expected.size(), actual.size());
    for (std::size_t i = 0; i < expected.size(); ++i) {
        SCOPED_TRACE("run " + std::to_string(i));
        EXPECT_EQ(expected[i].text, actual[i].text);
        EXPECT_EQ(expected[i].style.color, actual[i].style.color);
        EXPECT_EQ(expected[i].style.bold, actual[i].style.bold);
        EXPECT_EQ(expected[i].style.pointSize, actual[i].style.pointSize);
    }
}

StyledDocument readOk(std::string_view rtf) {
    std::string error;
    auto doc = readRtf(rtf, &error);
    EXPECT_TRUE(doc.has_value()) << error;
    return doc.value_or(StyledDocument{});
}

std::string bodyText(std::string_view rtf) { return readOk(rtf).plainText(); }

// A report as the chart engine writes it: "\r\n" and "\n" rows, a blue pillar row, a red
// heading, an analysis section two points smaller with a blue bold title.
StyledDocument sampleReport() {
    const std::string text =
        "求测人：张三\n起卦方式：其他方式   占问事宜：财运\n"
        "干支：  甲子年  丙寅月\n\n"
        "爻像解析：　\r\n【用神】妻财{旺}\\相\t€ 𠀀\r\n末行";
    std::vector<StyleSpan> spans;
    spans.push_back({27, 14, kBlue, std::nullopt, 0});          // the pillar row
    spans.push_back({42, 30, std::nullopt, std::nullopt, -2});  // the analysis, to the end
    spans.push_back({42, 5, kBlue, true, 0});                   // its title
    spans.push_back({49, 4, kRed, true, 0});                    // 【用神】
    spans.push_back({55, 3, kGreen, false, 0});                 // {旺}
    return applySpans(text, spans, "宋体", 12);
}

TEST(RtfWrite, ReportRoundTripsTextStylesFontAndSizes) {
    const StyledDocument doc = sampleReport();
    std::string error;
    const auto rtf = writeRtf(doc, &error);
    ASSERT_TRUE(rtf) << error;

    const StyledDocument back = readOk(*rtf);
    EXPECT_EQ("宋体", back.fontName);
    EXPECT_EQ(12, back.basePointSize);
    expectSameRuns(joinedRuns(doc), joinedRuns(back));
    EXPECT_EQ(displayText(doc.plainText()), back.plainText());
}

TEST(RtfWrite, ControlCharactersAndLoneCarriageReturnsReadBackUnchanged) {
    StyledDocument doc;
    doc.runs.push_back({"a\rb\x01c\x7f\r", {}});
    doc.runs.push_back({"\nd\r\ne", {kRed, false, 12}});
    const StyledDocument back = readOk(*writeRtf(doc, nullptr));
    expectSameRuns({{"a\rb\x01c\x7f\r", {}}, {"\nd\ne", {kRed, false, 12}}}, joinedRuns(back));
}

TEST(RtfWrite, WritesSevenBitCodePage936WithFontColoursAndEscapes) {
    const auto rtf = writeRtf(sampleReport(), nullptr);
    ASSERT_TRUE(rtf);
    for (char c : *rtf) ASSERT_LT(static_cast<unsigned char>(c), 0x80);
    EXPECT_EQ(0u, rtf->find("{\\rtf1\\ansi\\ansicpg936\\deff0"));
    EXPECT_NE(std::string::npos, rtf->find("{\\fonttbl{\\f0\\fnil\\fcharset134 \\'cb\\'ce\\'cc\\'e5;}}"));
    // Colours in order of first use, after the automatic entry.
    EXPECT_NE(std::string::npos,
              rtf->find("{\\colortbl ;\\red0\\green0\\blue0;\\red0\\green0\\blue255;\\red255\\green0\\blue0;"
                        "\\red0\\green128\\blue0;}"));
    EXPECT_NE(std::string::npos, rtf->find("\\'c7\\'f3\\'b2\\'e2\\'c8\\'cb"));    // 求测人
    EXPECT_NE(std::string::npos, rtf->find("\\cf4\\b0\\fs20 \\{\\'cd\\'fa\\}"));  // {旺}
    EXPECT_NE(std::string::npos, rtf->find("\\fs20 \\\\\\'cf\\'e0"));             // \相
    EXPECT_NE(std::string::npos, rtf->find("\\cf3\\b\\fs20 \\'a1\\'be"));         // 【
    EXPECT_NE(std::string::npos, rtf->find("\\tab "));
    EXPECT_NE(std::string::npos, rtf->find("\\'80"));  // the euro sign is one GBK byte
    // A character outside GBK survives as a surrogate pair of \uN with a fallback.
    EXPECT_NE(std::string::npos, rtf->find("\\u-10176?\\u-9216?"));
    // "\r\n" and "\n" both end a paragraph exactly once.
    EXPECT_NE(std::string::npos, rtf->find("\\'a1\\'a1\\par\r\n\\cf"));
    EXPECT_EQ(std::string::npos, rtf->find("\\par\r\n\\par\r\n\\par"));
    EXPECT_EQ('}', rtf->at(rtf->size() - 3));
}

TEST(RtfWrite, RefusesInvalidTextAndSizes) {
    std::string error;
    StyledDocument doc;
    doc.runs.push_back({"坏\xC3", {}});
    EXPECT_FALSE(writeRtf(doc, &error));
    EXPECT_FALSE(error.empty());

    doc.runs = {{"字", TextStyle{kBlack, false, 0}}};
    error.clear();
    EXPECT_FALSE(writeRtf(doc, &error));
    EXPECT_NE(std::string::npos, error.find("字号"));

    doc.runs = {{"字", TextStyle{kBlack, false, 2000}}};
    EXPECT_FALSE(writeRtf(doc, &error));
}

TEST(RtfWrite, EmptyDocumentAndOddFontNamesRoundTrip) {
    StyledDocument empty;
    const auto rtf = writeRtf(empty, nullptr);
    ASSERT_TRUE(rtf);
    const StyledDocument back = readOk(*rtf);
    EXPECT_TRUE(back.runs.empty());
    EXPECT_EQ("宋体", back.fontName);

    StyledDocument odd;
    odd.fontName = "Font;{x}";
    odd.runs.push_back({"a", {}});
    EXPECT_EQ("Font;{x}", readOk(*writeRtf(odd, nullptr)).fontName);
    // Control characters are no part of a font name.
    EXPECT_EQ("Kai Ti", readOk("{\\rtf1{\\fonttbl{\\f0 \tKai\\'01 Ti ;}}x}").fontName);
    EXPECT_EQ("宋体", readOk("{\\rtf1{\\fonttbl{\\f0 \t;}}x}").fontName);
}

TEST(RtfRead, WordProcessorFileWithDestinationsFieldsUnicodeAndNesting) {
    const auto bytes = readFileBytes(fs::path(QH_SOURCE_DIR) / "tests/data/rtf/wordprocessor_report.rtf");
    ASSERT_TRUE(bytes);
    const StyledDocument doc = readOk(*bytes);
    EXPECT_EQ("宋体", doc.fontName);
    EXPECT_EQ(12, doc.basePointSize);
    expectSameRuns(
        {
            {"求测人：", {kBlack, false, 12}},
            {"张三", {kRed, true, 12}},
            {"\n", {kBlack, false, 12}},
            {"干支", {kBlue, false, 10}},
            {"：\t甲子丂丂\n", {kBlack, false, 10}},
            {"世爻", {kRed, true, 12}},
            {"用神", {kBlack, true, 12}},
            {"青衡😀\\{}\n测试 \nend\n", {kBlack, false, 12}},
        },
        joinedRuns(doc));
}

TEST(RtfRead, EastAsianWeightAndSizeAfterDbch) {
    // Some word processors give East Asian text its own weight and size (\ab, \afs after
    // \dbch), name the font in another double-byte code page and write \uN with a
    // fallback in that code page.
    const StyledDocument doc = readOk(
        "{\\rtf1\\ansi\\deff3{\\fonttbl{\\f3\\froman\\fcharset0 Serif;}"
        "{\\f5\\froman\\fcharset128 \\'91\\'76\\'91\\'cc;}}"
        "{\\colortbl;\\red0\\green0\\blue0;\\red0\\green0\\blue255;}"
        "\\pard\\plain \\rtlch\\af8\\afs28\\ab \\ltrch\\cf0\\f3\\fs24\\dbch\\af6"
        "{\\hich\\af5\\loch\\cf2\\f5\\dbch\\afs20\\ab\\dbch\r\n\\uc2 \\u29243\\'e0\\'a9\\uc1 }"
        "{\\hich\\af5\\loch\\cf1\\fs20\\b0\\f5\\loch\r\n\\{}"
        "{\\hich\\af5\\loch\\cf1\\f5\\dbch\\afs20\\ab0\\dbch\r\n\\uc0 \\u55360\\uc1 \\u56320\\'3f}"
        "\\par \\pard\\plain \\rtlch\\ab\\ltrch\\dbch x}");
    EXPECT_EQ("宋体", doc.fontName);
    expectSameRuns({{"爻", {kBlue, true, 10}}, {"{𠀀", {kBlack, false, 10}}, {"\nx", {kBlack, false, 12}}},
                   joinedRuns(doc));
}

TEST(RtfRead, UnicodeFallbacksAndSurrogates) {
    // \uc1 by default: one fallback character skipped, whether a letter or a \'hh byte.
    EXPECT_EQ("爻x", bodyText("{\\rtf1 \\u29243?x}"));
    EXPECT_EQ("爻x", bodyText("{\\rtf1 \\u29243\\'3fx}"));
    // \uc2 with a two-byte fallback; \uc0 with none; a group ends the count.
    EXPECT_EQ("：x", bodyText("{\\rtf1\\uc2 \\u65306\\'a3\\'bax}"));
    EXPECT_EQ("：x", bodyText("{\\rtf1\\uc0 \\u65306 x}"));
    EXPECT_EQ("爻x", bodyText("{\\rtf1\\uc3 {\\u29243?}x}"));
    // Negative values stand for code units above 32767.
    EXPECT_EQ("：", bodyText("{\\rtf1 \\u-230?}"));
    EXPECT_EQ("𠀀", bodyText("{\\rtf1 \\u-10176?\\u-9216?}"));
    // A surrogate without its partner becomes a replacement character, not a broken sequence.
    EXPECT_EQ(
        "\xEF\xBF\xBD"
        "a",
        bodyText("{\\rtf1 \\u-10176?a}"));
    EXPECT_EQ("\xEF\xBF\xBD", bodyText("{\\rtf1 \\u-9216?}"));
}

TEST(RtfRead, CodePageBytes) {
    // A lead byte may come escaped and its trail byte as a plain character.
    EXPECT_EQ("丂", bodyText("{\\rtf1\\ansi\\ansicpg936 \\'81@}"));
    EXPECT_EQ("丂", bodyText("{\\rtf1 \\'81\\'40}"));
    // Raw (unescaped) GBK bytes are read as such.
    EXPECT_EQ("干支", bodyText("{\\rtf1 \xB8\xC9\xD6\xA7}"));
    // A document code page other than 936, and a font whose charset overrides it.
    EXPECT_EQ("caf\xC3\xA9", bodyText("{\\rtf1\\ansi\\ansicpg1252 caf\\'e9}"));
    EXPECT_EQ("宋", bodyText("{\\rtf1\\ansi\\ansicpg1252{\\fonttbl{\\f1\\fcharset134 x;}}\\f1 \\'cb\\'ce}"));
    // A lead byte cut off by a group end is a replacement character; the next text is intact.
    EXPECT_EQ(
        "\xEF\xBF\xBD"
        "a",
        bodyText("{\\rtf1 {\\'cb}a}"));
    EXPECT_EQ(
        "\xEF\xBF\xBD"
        "b",
        bodyText("{\\rtf1 \\'ffb}"));
}

TEST(RtfRead, ControlWordsSymbolsAndStyleResets) {
    EXPECT_EQ("a\nb\nc\td\n", bodyText("{\\rtf1 a\\par b\\line c\\tab d\\\r\n}"));
    EXPECT_EQ("a-b c\xE2\x80\x94", bodyText("{\\rtf1 a\\_b\\~c\\-\\emdash}"));
    EXPECT_EQ("ab", bodyText("{\\rtf1 a\r\n\r\nb}"));
    EXPECT_EQ(" 1", bodyText("{\\rtf1\\fs24  1}"));  // one blank delimits, the next is text

    const StyledDocument doc =
        readOk("{\\rtf1{\\colortbl;\\red255\\green0\\blue0;}\\cf1\\b\\fs20 x\\pard y\\plain z\\b1 w\\b0 v\\cf9 u}");
    expectSameRuns(
        {{"xy", {kRed, true, 10}}, {"z", {kBlack, false, 12}}, {"w", {kBlack, true, 12}}, {"vu", {kBlack, false, 12}}},
        joinedRuns(doc));

    // Unknown \* destinations and known non-text groups are skipped with everything inside.
    EXPECT_EQ("ok", bodyText("{\\rtf1{\\*\\unknownthing a{b}c}{\\info{\\title t}}{\\header h}{\\pict 00ff}o{\\*\\x{"
                             "\\fonttbl}y}k}"));
    // Binary data may hold braces.
    EXPECT_EQ("ab", bodyText("{\\rtf1 a{\\*\\blip\\bin4 }{{}}b}"));
}

TEST(RtfRead, MalformedInputIsReadAsFarAsPossibleOrRefused) {
    std::string error;
    EXPECT_FALSE(readRtf("", &error));
    EXPECT_FALSE(error.empty());
    EXPECT_FALSE(readRtf("plain words", nullptr));
    EXPECT_FALSE(readRtf("{\\rt", nullptr));

    EXPECT_EQ("abc", bodyText("{\\rtf1 abc"));  // never closed
    EXPECT_EQ("ab", bodyText("{\\rtf1 a{{b"));
    EXPECT_EQ("a", bodyText("{\\rtf1 a}b}}c"));          // text after the end is ignored
    EXPECT_EQ("a", bodyText("{\\rtf1 a\\'"));            // cut \'hh
    EXPECT_EQ("ab", bodyText("{\\rtf1 a\\'00b\\u0 }"));  // zero is never text
    EXPECT_EQ("a", bodyText("{\\rtf1 a\\'4"));
    EXPECT_EQ("azG", bodyText("{\\rtf1 a\\'zG}"));
    EXPECT_EQ("a", bodyText("{\\rtf1 a\\"));
    EXPECT_EQ("a", bodyText("{\\rtf1 a\\bin999999999999 bc}x"));  // \bin past the end
    EXPECT_EQ("a", bodyText("{\\rtf1 a\\bin-5 }"));

    const StyledDocument huge =
        readOk("{\\rtf1\\fs99999999999999999999 a\\cf99999999999 b\\uc99999999999 \\u99999999999 c}");
    ASSERT_FALSE(huge.runs.empty());
    EXPECT_EQ(12, huge.runs.front().style.pointSize);
    EXPECT_EQ(kBlack, huge.runs.back().style.color);

    // Very deep nesting is refused with a message instead of exhausting memory.
    std::string deep = "{\\rtf1 ";
    deep += std::string(100000, '{');
    deep += "x";
    EXPECT_FALSE(readRtf(deep, &error));
    EXPECT_NE(std::string::npos, error.find("嵌套"));
    // Nesting a word processor might write is fine.
    EXPECT_EQ("x", bodyText("{\\rtf1 " + std::string(500, '{') + "x" + std::string(501, '}')));
}

TEST(RtfRead, DamagedCopiesOfARealFileNeverCrash) {
    const auto rtf = writeRtf(sampleReport(), nullptr);
    ASSERT_TRUE(rtf);
    std::uint32_t seed = 12345;
    auto next = [&] { return seed = seed * 1664525u + 1013904223u; };
    for (int round = 0; round < 300; ++round) {
        std::string damaged = *rtf;
        for (int k = 0; k < 8; ++k) damaged[5 + next() % (damaged.size() - 5)] = static_cast<char>(next() >> 24);
        damaged.resize(5 + next() % (damaged.size() - 5));
        std::string error;
        const auto doc = readRtf(damaged, &error);
        if (doc) {
            for (const StyledRun& run : doc->runs) EXPECT_FALSE(run.text.empty());
        }
    }
}

TEST(PlainText, WritesGbkWithCrLfAndNamesWhatGbkCannotHold) {
    StyledDocument doc;
    doc.runs.push_back({"干支\n甲", {}});
    doc.runs.push_back({"子\r\n末", {kRed, true, 10}});
    std::string error;
    EXPECT_EQ(std::string("\xB8\xC9\xD6\xA7\r\n\xBC\xD7\xD7\xD3\r\n\xC4\xA9"),
              writePlainText(doc, &error).value_or(""));

    doc.runs.push_back({"a😀", {}});
    EXPECT_FALSE(writePlainText(doc, &error));
    EXPECT_NE(std::string::npos, error.find("😀"));
}

TEST(PlainText, ReadsGbkThenUtf8AndRefusesNeither) {
    std::string error;
    auto gbkDoc = readPlainText("\xB8\xC9\xD6\xA7\r\n\xBC\xD7\r\xD7\xD3", &error);
    ASSERT_TRUE(gbkDoc) << error;
    ASSERT_EQ(1u, gbkDoc->runs.size());
    EXPECT_EQ("干支\n甲\n子", gbkDoc->runs[0].text);
    EXPECT_EQ((TextStyle{kBlack, false, 12}), gbkDoc->runs[0].style);

    // Not valid GBK, but valid UTF-8.
    EXPECT_EQ("中文。", readPlainText("中文。", &error).value().plainText());
    EXPECT_EQ("爻", readPlainText("\xEF\xBB\xBF爻", &error).value().plainText());
    EXPECT_TRUE(readPlainText("", &error).value().runs.empty());

    EXPECT_FALSE(readPlainText("\xFF\xFF\xFF", &error));
    EXPECT_FALSE(error.empty());
    EXPECT_FALSE(readPlainText("\xEF\xBB\xBF\xB8\xC9", &error));  // a byte-order mark promises UTF-8
}

class RtfFiles : public ::testing::Test {
protected:
    qingheng::testing::TemporaryHome home_{"rtf"};
    const fs::path& dir_ = home_.path();
};

TEST_F(RtfFiles, ReportFilesRoundTripAndTextFilesLoadToo) {
    const StyledDocument doc = sampleReport();
    ASSERT_TRUE(saveRtfFile(dir_ / "7.rtf", doc));
    std::string error;
    const auto back = loadRtfOrTextFile(dir_ / "7.rtf", &error);
    ASSERT_TRUE(back) << error;
    expectSameRuns(joinedRuns(doc), joinedRuns(*back));
    EXPECT_FALSE(fs::exists(dir_ / "7.rtf.tmp"));

    StyledDocument plain;
    plain.runs.push_back({"干支\n甲子", {kRed, true, 10}});
    ASSERT_TRUE(savePlainTextFile(dir_ / "r.txt", plain));
    EXPECT_EQ(std::string("\xB8\xC9\xD6\xA7\r\n\xBC\xD7\xD7\xD3"), readFileBytes(dir_ / "r.txt").value_or(""));
    EXPECT_EQ("干支\n甲子", loadRtfOrTextFile(dir_ / "r.txt", &error).value().plainText());
    EXPECT_EQ("干支\n甲子", readPlainTextFile(dir_ / "r.txt", &error).value().plainText());
    // A text file is not taken for rich text even when it reads like RTF.
    ASSERT_TRUE(writeFileAtomically(dir_ / "x.txt", "{\\rtf1 a}"));
    EXPECT_EQ("{\\rtf1 a}", readPlainTextFile(dir_ / "x.txt", &error).value().plainText());
}

TEST_F(RtfFiles, FailuresAreReportedAndLeaveFilesAlone) {
    std::string error;
    EXPECT_FALSE(loadRtfOrTextFile(dir_ / "missing.rtf", &error));
    EXPECT_NE(std::string::npos, error.find("missing.rtf"));

    const Status noFolder = saveRtfFile(dir_ / "no" / "such.rtf", sampleReport());
    EXPECT_FALSE(noFolder.ok);
    EXPECT_FALSE(noFolder.message.empty());

    ASSERT_TRUE(writeFileAtomically(dir_ / "keep.txt", "old"));
    StyledDocument bad;
    bad.runs.push_back({"😀", {}});
    const Status refused = savePlainTextFile(dir_ / "keep.txt", bad);
    EXPECT_FALSE(refused.ok);
    EXPECT_EQ("old", readFileBytes(dir_ / "keep.txt").value_or(""));
}

}  // namespace
}  // namespace qingheng
