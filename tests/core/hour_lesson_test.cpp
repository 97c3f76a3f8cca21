// The hour lesson: the count through the six lessons, the list texts and the memo's lines.
#include <gtest/gtest.h>

#include <sstream>
#include <vector>

#include "platform/Gbk.h"
#include "platform/StringTable.h"
#include "reference/HourLesson.h"

using namespace qingheng;

namespace {

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> out;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) out.push_back(line);
    return out;
}

}  // namespace

TEST(HourLesson, CountStartsAtDaAnAndMovesWithTheDoubleHour) {
    struct Case {
        int month, day, hour;  // list indexes; the hour is the hour itself
        const char* lesson;
    };
    for (const Case& c : {Case{0, 0, 0, "大安"},
                          {0, 0, 23, "大安"},
                          {0, 0, 1, "留连"},
                          {0, 0, 2, "留连"},
                          {0, 0, 3, "速喜"},
                          {0, 0, 6, "赤口"},
                          {0, 0, 8, "小吉"},
                          {0, 0, 10, "空亡"},
                          {0, 0, 22, "空亡"},
                          {1, 0, 0, "留连"},
                          {0, 1, 0, "留连"},
                          {11, 29, 22, "赤口"},
                          {6, 0, 0, "大安"}}) {
        EXPECT_EQ(kLessonNames[LessonResult(c.month, c.day, c.hour)], c.lesson)
            << c.month << "/" << c.day << "/" << c.hour;
    }
}

TEST(HourLesson, EachLessonReadsItsOwnVerse) {
    EXPECT_EQ(LessonTextId(1), 6700);
    EXPECT_EQ(LessonTextId(5), 6704);
    EXPECT_EQ(LessonTextId(0), 6705);
    EXPECT_EQ(resourceString(6705).substr(0, 12), "信音稀时");
    for (int r = 0; r < 6; ++r) {
        const std::string& verse = resourceString(LessonTextId(r));
        EXPECT_NE(verse.find("断曰：" + std::string(kLessonNames[r])), std::string::npos) << r;
    }
}

TEST(HourLesson, ListItemsSpellTheNumbersInChinese) {
    EXPECT_EQ(LessonMonthItem(1), "一月");
    EXPECT_EQ(LessonMonthItem(10), "十月");
    EXPECT_EQ(LessonMonthItem(11), "十一月");
    EXPECT_EQ(LessonMonthItem(12), "十二月");
    EXPECT_EQ(LessonDayItem(1), "初一日");
    EXPECT_EQ(LessonDayItem(10), "初十日");
    EXPECT_EQ(LessonDayItem(11), "十一日");
    EXPECT_EQ(LessonDayItem(20), "二十日");
    EXPECT_EQ(LessonDayItem(21), "廿一日");
    EXPECT_EQ(LessonDayItem(30), "三十日");
    EXPECT_EQ(LessonHourItem(0), "0时");
    EXPECT_EQ(LessonHourItem(23), "23时");
}

TEST(HourLesson, MemoOfTheFirstMonthDayAndHourReadsExactly) {
    EXPECT_EQ(HourLessonText(0, 0, 0),
              "起课时间：一月初一日0时\n得[大安]课论断如下：\n\n"
              "身不动时，属木青龙，谋事主一、五、七：\n"
              "断曰：大安事事昌，求谋在神方，\n"
              "      失物去不远，宅舍保安康，\n"
              "      行人身未动，病者主无妨，\n"
              "      将军回田野，仔细与推详。\n");
}

TEST(HourLesson, EmptyLessonShowsItsVerseAfterTheHeader) {
    const std::string text = HourLessonText(0, 0, 10);
    EXPECT_EQ(text.substr(0, text.find("\n\n") + 2), "起课时间：一月初一日10时\n得[空亡]课论断如下：\n\n");
    EXPECT_EQ(Lines(text)[3], "信音稀时，属土勾陈，谋事主一、五、七：");
}

TEST(HourLesson, EveryVerseBreaksAfterTheLeadInThenEveryTwoPhrases) {
    for (int r = 0; r < 6; ++r) {
        const auto lines = Lines(BreakLessonText(resourceString(LessonTextId(r))));
        ASSERT_EQ(lines.size(), 5u) << r;
        EXPECT_EQ(gbk::width(lines[0]), 38);
        EXPECT_TRUE(lines[0].ends_with("：")) << lines[0];
        EXPECT_EQ(gbk::width(lines[1]), 30);
        EXPECT_TRUE(lines[1].starts_with("断曰：")) << lines[1];
        EXPECT_TRUE(lines[1].ends_with("，")) << lines[1];
        for (int k = 2; k < 5; ++k) {
            EXPECT_EQ(gbk::width(lines[k]), 30) << lines[k];
            EXPECT_TRUE(lines[k].starts_with("      ")) << lines[k];
            EXPECT_TRUE(lines[k].ends_with("，") || lines[k].ends_with("。")) << lines[k];
        }
    }
}

TEST(HourLesson, AShortLastPieceIsStillIndentedAndEnded) {
    const std::string text(100, 'a');
    EXPECT_EQ(BreakLessonText(text), std::string(38, 'a') + "\n" + std::string(30, 'a') + "\n      " +
                                         std::string(24, 'a') + "\n      " + std::string(8, 'a') + "\n");
}
