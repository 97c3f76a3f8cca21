#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include "TemporaryHome.h"
#include "casting/CastDispatch.h"
#include "casting/TimeCasting.h"

using namespace qingheng;

namespace {

TimeInput at(int y, int mo, int d, int h, int mi, bool lunar = false, bool leap = false) {
    TimeInput in;
    in.year = y;
    in.month = mo;
    in.day = d;
    in.hour = h;
    in.minute = mi;
    in.lunar = lunar;
    in.leap = leap;
    return in;
}

TimeMoment checked(const TimeInput& in, int monthMode = kMonthsBySolarTerms) {
    const TimeCheck c = CheckTimeInput(in, monthMode);
    EXPECT_TRUE(c.moment) << (c.refusal ? c.refusal->text : "");
    return c.moment.value_or(TimeMoment{});
}

std::string refusalOf(const TimeInput& in) {
    const TimeCheck c = CheckTimeInput(in, kMonthsBySolarTerms);
    return c.refusal ? c.refusal->text : std::string("(accepted)");
}

}  // namespace

TEST(TimeCasting, SpringFestival2024WithoutAddition) {
    const TimeMoment m = checked(at(2024, 2, 10, 9, 30));
    EXPECT_EQ(m.monthNumber, 1);
    EXPECT_EQ(m.lunarDay, 1);
    EXPECT_EQ(TimeHint(m), "公：2024-2-10 9:30，农：甲辰年寅月1日");
    const CastResult r = CastByTime(m, 0);
    EXPECT_EQ(r.mainCode, "122114");
    EXPECT_EQ(r.changedCode, "122111");
    EXPECT_EQ(r.label, "时间起卦");
    EXPECT_EQ(r.method, CastingMethod::Time);
}

TEST(TimeCasting, AnAddedNumberShiftsTheLowerTrigramAndTheMovingLine) {
    const CastResult r = CastByTime(checked(at(2024, 2, 10, 9, 30)), 3);
    EXPECT_EQ(r.mainCode, "124222");
    EXPECT_EQ(r.changedCode, "121222");
}

TEST(TimeCasting, LifetimeStartsFromTheYearStemOrBranch) {
    const TimeMoment m = checked(at(2024, 2, 10, 9, 30));
    const CastResult gan = CastLifetime(m, LifetimeStart::Stem);
    EXPECT_EQ(gan.mainCode, "121311");
    EXPECT_EQ(gan.changedCode, "121211");
    EXPECT_EQ(gan.label, "终身卦");
    // 辰 = 5 gives the same sums as the time cast without addition.
    EXPECT_EQ(CastLifetime(m, LifetimeStart::Branch).mainCode, "122114");
}

TEST(TimeCasting, ElevenPmBelongsToTheNextDaysZiHour) {
    const TimeMoment m = checked(at(2024, 2, 10, 23, 15));
    EXPECT_EQ(m.lunarDay, 2);
    EXPECT_EQ(TimeHint(m), "公：2024-2-11 23:15，农：甲辰年寅月2日");
    EXPECT_EQ(m.gregorian, (DateRecord{2024, 2, 10, 23, 15}));
    // s = 5 + 1 + 2 = 8 (坤), t = 8 + 1 = 9 (乾), line 3 moves.
    EXPECT_EQ(CastByTime(m, 0).mainCode, "222311");
}

TEST(TimeCasting, HourNumbersFollowTheTwelveDoubleHours) {
    const int expected[24] = {1, 2, 2, 3, 3, 4, 4, 5, 5, 6, 6, 7, 7, 8, 8, 9, 9, 10, 10, 11, 11, 12, 12, 1};
    for (int h = 0; h < 24; ++h) EXPECT_EQ(HourNumber(h), expected[h]) << h;
}

TEST(TimeCasting, TheYearTurnsAtLiChunNotAtNewYear) {
    // 立春 2024 fell on 4 February at 16:27.
    const TimeMoment before = checked(at(2024, 2, 4, 16, 26));
    EXPECT_EQ(TimeHint(before), "公：2024-2-4 16:26，农：癸卯年丑月25日");
    const TimeMoment after = checked(at(2024, 2, 4, 16, 27));
    EXPECT_EQ(TimeHint(after), "公：2024-2-4 16:27，农：甲辰年寅月25日");
}

TEST(TimeCasting, MonthsOpenAtTheirSolarTermsOrFollowTheLunarMonth) {
    // 小寒 2024 fell on 6 January at 04:50.
    EXPECT_EQ(checked(at(2024, 1, 5, 12, 0)).monthNumber, 11);
    EXPECT_EQ(checked(at(2024, 1, 6, 12, 0)).monthNumber, 12);
    EXPECT_EQ(checked(at(2024, 1, 5, 12, 0), 1).monthNumber, 11);  // lunar 2023-11-24
    EXPECT_EQ(checked(at(2024, 2, 10, 9, 30), 1).monthNumber, 1);
    // 2023-04-01 lies in the leap second month: it counts as month 2.
    EXPECT_EQ(checked(at(2023, 4, 1, 12, 0), 1).monthNumber, 2);
    EXPECT_EQ(checked(at(2023, 4, 1, 12, 0)).monthNumber, 2);  // before 清明 (5 April): still 卯
}

TEST(TimeCasting, LunarInputIsConvertedFirst) {
    const TimeMoment m = checked(at(2023, 2, 29, 10, 0, true, true));  // leap second month, day 29
    EXPECT_EQ(m.gregorian, (DateRecord{2023, 4, 19, 10, 0}));
    EXPECT_EQ(m.lunarDay, 29);
    const TimeMoment newYear = checked(at(2024, 1, 1, 9, 30, true));
    EXPECT_EQ(newYear.gregorian, (DateRecord{2024, 2, 10, 9, 30}));
}

TEST(TimeCasting, RefusesYearsOutsideTheTablesWithTheirMessages) {
    for (int year : {1899, 2051, 0}) {
        const TimeCheck c = CheckTimeInput(at(year, 6, 1, 12, 0), kMonthsBySolarTerms);
        ASSERT_TRUE(c.refusal) << year;
        EXPECT_EQ(c.refusal->text, "起卦年份在 1900-2050之间,请重新输入！");
        EXPECT_EQ(c.refusal->caption, "时间错误");
        EXPECT_EQ(c.refusal->kind, MessageKind::Stop);
        EXPECT_TRUE(c.focusYear);
    }
    EXPECT_EQ(refusalOf(at(2050, 12, 31, 23, 30)), "时间越界，年份在1900-2050之间");
    EXPECT_EQ(refusalOf(at(2050, 12, 31, 22, 59)), "(accepted)");
}

TEST(TimeCasting, RefusesDatesThatDoNotExist) {
    const TimeCheck feb = CheckTimeInput(at(2023, 2, 29, 10, 0), kMonthsBySolarTerms);
    ASSERT_TRUE(feb.refusal);
    EXPECT_EQ(feb.refusal->text, "不存在这个日期");
    EXPECT_EQ(feb.refusal->caption, "错误");
    EXPECT_FALSE(feb.focusYear);
    EXPECT_EQ(refusalOf(at(2023, 2, 30, 10, 0, true, true)), "不存在这个日期,请重新输入！");
}

TEST(TimeAdditions, NumbersFrom1To999) {
    EXPECT_EQ(CheckAddition(TimeAddition::Number, "3").value, 3);
    EXPECT_EQ(CheckAddition(TimeAddition::Number, "999").value, 999);
    for (const char* bad : {"0", "", "x", "1000", "-1"}) {
        const AdditionCheck c = CheckAddition(TimeAddition::Number, bad);
        ASSERT_TRUE(c.refusal) << bad;
        EXPECT_EQ(c.refusal->text, "请输入1至999之间的数");
        EXPECT_TRUE(c.clearEdit);
    }
    EXPECT_FALSE(CheckAddition(TimeAddition::None, "garbage").refusal);
}

TEST(TimeAdditions, OneCharacterWithAStrokeCount) {
    qingheng::testing::TemporaryHome home("timechar");
    home.withShippedFiles({"hzlen.dat"}).useAsProgramFolder();
    EXPECT_EQ(CheckAddition(TimeAddition::Character, "爻").value, 4);

    const AdditionCheck ascii = CheckAddition(TimeAddition::Character, "ab");
    ASSERT_TRUE(ascii.refusal);
    EXPECT_EQ(ascii.refusal->text, "请输入一个汉字。");
    EXPECT_EQ(ascii.refusal->caption, "无效");
    EXPECT_EQ(ascii.refusal->kind, MessageKind::Stop);
    EXPECT_TRUE(ascii.clearEdit);

    const AdditionCheck two = CheckAddition(TimeAddition::Character, "爻爻");
    ASSERT_TRUE(two.refusal);
    EXPECT_EQ(two.refusal->text, "请输入一个汉字。");
    EXPECT_FALSE(two.clearEdit);
    EXPECT_TRUE(CheckAddition(TimeAddition::Character, "").refusal);

    const AdditionCheck none = CheckAddition(TimeAddition::Character, "Ａ");
    ASSERT_TRUE(none.refusal);
    EXPECT_EQ(none.refusal->text, "找不到“Ａ”这个汉字的笔划");
    EXPECT_EQ(none.refusal->caption, "找不到");

    EXPECT_EQ(CheckAddition(TimeAddition::Character, "國").value, 11);  // as 国, counted traditionally
    std::filesystem::remove(home.dat() / "hzlen.dat");
    const AdditionCheck noTable = CheckAddition(TimeAddition::Character, "爻");
    ASSERT_TRUE(noTable.refusal);
    EXPECT_EQ(noTable.refusal->text, "汉字库文件丢失！");
}

TEST(CliCastTime, ReadsTheMonthModeFromSetIni) {
    qingheng::testing::TemporaryHome folder("timegua");
    folder.withShippedFiles({"hzlen.dat"}).useAsProgramFolder();
    folder.writeDatFile("set.ini", "[set]\ntimegua=1\n");
    std::string error;
    CastArguments a;
    a.input = "2024-03-05 12:00";  // after 惊蛰 (5 March 10:23) but still lunar month 1
    CastDetails details;
    ASSERT_TRUE(castByMethodName("time", a, error, &details)) << error;
    EXPECT_EQ(details.hint, "公：2024-3-5 12:0，农：甲辰年寅月25日");
    folder.writeDatFile("set.ini", "[set]\ntimegua=0\n");
    ASSERT_TRUE(castByMethodName("time", a, error, &details));
    EXPECT_EQ(details.hint, "公：2024-3-5 12:0，农：甲辰年卯月25日");
    EXPECT_FALSE(details.lifetime);
}
