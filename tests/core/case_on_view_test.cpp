// The case on view: what the chart engine reads, what a save writes, what opening and
// editing a stored case bring back, and deleting a case with its reports.
#include <gtest/gtest.h>

#include <fstream>

#include "TemporaryHome.h"
#include "casebook/CaseOnView.h"
#include "chart/ChartReport.h"
#include "platform/Clock.h"

using namespace qingheng;
namespace fs = std::filesystem;

namespace {

CastResult numberCast() {
    CastResult c;
    c.mainCode = "111411";
    c.changedCode = "111111";
    c.method = CastingMethod::Number;
    c.label = "数字起卦";
    c.input = "12";
    c.upper = 1;
    c.lower = 2;
    c.total = 3;
    return c;
}

CaseRecord storedRecord(const std::string& label, std::uint32_t useGod = 2) {
    CaseRecord r;
    r.id = 7;
    r.name = "张三";
    r.category = "财运";
    r.extra = "备注";
    r.question = "问财";
    r.year = 2023;
    r.month = 2;
    r.day = 11;
    r.hour = 12;
    r.minute = 5;
    r.lunar = true;
    r.leap = true;
    r.useGod = useGod;
    r.mainCode = "123412";
    r.changedCode = "121212";
    r.label = label;
    r.longitude = 116.0f;
    return r;
}

}  // namespace

TEST(CaseOnView, StartsWithTheInitialCastInNewCaseMode) {
    const CaseOnView c;
    EXPECT_EQ(c.cast(), InitialCastResult());
    EXPECT_FALSE(c.existing());
    EXPECT_FALSE(c.chartValid());
    const CaseInfo info = c.caseInfo();
    EXPECT_EQ(info.mainCode, "222131");
    EXPECT_EQ(info.changedCode, "222121");
    EXPECT_EQ(info.methodLabel, "其他方式");
    EXPECT_EQ(info.castingMethod, 5);
}

TEST(CaseOnView, CaseInfoCarriesTheCastTheTextsAndNoPosition) {
    CaseOnView c;
    c.setCastingTime({2024, 2, 10, 9, 30, 0, 0});
    ASSERT_TRUE(c.setAsker("某人", "关心的事情", 3).ok);
    c.takeCast(numberCast());
    const CaseInfo info = c.caseInfo();
    EXPECT_EQ(info.name, "某人");
    EXPECT_EQ(info.question, "关心的事情");
    EXPECT_EQ(info.useGod, 3);
    EXPECT_EQ(info.methodLabel, "数字起卦");
    EXPECT_EQ(info.castingMethod, 3);
    EXPECT_EQ(info.inputText, "12");
    EXPECT_EQ(info.upper, 1);
    EXPECT_EQ(info.lower, 2);
    EXPECT_EQ(info.total, 3);
    EXPECT_EQ(info.castingTime, (CastingTime{2024, 2, 10, 9, 30, 0, 0}));
    EXPECT_FALSE(info.hasPosition());
    EXPECT_EQ(info.latitude, kNoPosition);
}

TEST(CaseOnView, TextsThatDoNotFitTheirFieldsAreRefusedAndChangeNothing) {
    struct Case {
        std::string name, question;
        const char* message;
    };
    const Case cases[] = {
        {"一二三四五六", "问", "求测人太长：最多10个字节（一个汉字占两个字节）。"},
        {"😀", "问", "求测人含有无法保存的字符“😀”，请换用其他写法。"},
        {"张三", std::string(41, 'a'), "占问事宜太长：最多40个字节（一个汉字占两个字节）。"},
        {"abcdefghij", std::string(40, 'a'), ""},
    };
    for (const Case& k : cases) {
        CaseOnView c;
        ASSERT_TRUE(c.setAsker("旧", "旧问", 1).ok);
        const Status s = c.setAsker(k.name, k.question, 2);
        EXPECT_EQ(s.message, k.message) << k.name;
        EXPECT_EQ(c.name(), s.ok ? k.name : "旧");
        EXPECT_EQ(c.useGod(), s.ok ? 2 : 1);
    }
    CaseOnView c;
    EXPECT_EQ(c.setMethodLabel(std::string(22, 'x')).message, "起卦方式太长：最多21个字节（一个汉字占两个字节）。");
    EXPECT_EQ(c.cast().label, "其他方式");
    EXPECT_TRUE(c.setMethodLabel("测试").ok);
    EXPECT_EQ(c.caseInfo().methodLabel, "测试");
}

TEST(CaseOnView, ACastDatedByItsOwnMomentReplacesTheCastingTime) {
    CaseOnView c;
    c.setCastingTime({2024, 2, 10, 9, 30, 1, 0});
    c.takeCast(numberCast());
    EXPECT_EQ(c.castingTime(), (CastingTime{2024, 2, 10, 9, 30, 1, 0}));
    c.takeCast(numberCast(), GregorianCastingTime({1990, 5, 1, 10, 0}));
    EXPECT_EQ(c.castingTime(), (CastingTime{1990, 5, 1, 10, 0, 0, 0}));
}

TEST(CaseOnView, StartAtNowTakesTheClockCappedAt2050) {
    setAppClock(std::make_shared<FixedClock>(LocalDateTime{2061, 3, 4, 5, 6, 7}));
    CaseOnView c;
    c.startAtNow();
    setAppClock(std::make_shared<SystemClock>());
    EXPECT_EQ(c.castingTime(), (CastingTime{2050, 3, 4, 5, 6, 0, 0}));
}

TEST(CaseOnView, TheRecordTakesTheCaseOnlyWhenCopiedAndKeepsItsOwnFields) {
    CaseOnView c;
    c.showStored(7, storedRecord("铜钱摇卦"));
    ASSERT_TRUE(c.setAsker("李四", "问病", 4).ok);
    c.takeCast(numberCast());
    EXPECT_EQ(c.record().name, "张三");  // not until the cast is shown
    c.copyIntoRecord();
    const CaseRecord& r = c.record();
    EXPECT_EQ(r.name, "李四");
    EXPECT_EQ(r.question, "问病");
    EXPECT_EQ(r.useGod, 4u);
    EXPECT_EQ(r.mainCode, "111411");
    EXPECT_EQ(r.label, "数字起卦");
    EXPECT_EQ(r.year, 2023);
    EXPECT_TRUE(r.lunar);
    EXPECT_TRUE(r.leap);
    EXPECT_EQ(r.category, "财运");
    EXPECT_EQ(r.extra, "备注");
    EXPECT_EQ(r.id, 7u);
}

TEST(CaseOnView, OpeningAStoredCaseBringsBackItsTimeCastAndTexts) {
    struct Case {
        std::string label;
        std::uint32_t useGod;
        CastingMethod method;
        Relative shownUseGod;
    };
    const Case cases[] = {
        {"铜钱摇卦", 2, CastingMethod::Coins, 2},
        {"终身卦", 0, CastingMethod::Time, 0},
        {"随机起卦", 4, CastingMethod::Random, 4},
        {"别的程序写的", 9, CastingMethod::Other, 4},
    };
    for (const Case& k : cases) {
        CaseOnView c;
        c.setChartValid(true);
        c.showStored(7, storedRecord(k.label, k.useGod));
        EXPECT_TRUE(c.existing());
        EXPECT_EQ(c.id(), 7u);
        EXPECT_FALSE(c.chartValid());
        EXPECT_EQ(c.cast().method, k.method) << k.label;
        EXPECT_EQ(c.useGod(), k.shownUseGod) << k.label;
        const CaseInfo info = c.caseInfo();
        EXPECT_EQ(info.castingTime, (CastingTime{2023, 2, 11, 12, 5, 1, 1}));
        EXPECT_EQ(info.mainCode, "123412");
        EXPECT_EQ(info.methodLabel, k.label);
        EXPECT_EQ(info.name, "张三");
        EXPECT_FALSE(info.hasPosition());  // a stored position is not used
    }
}

TEST(CaseOnView, EditsOfTheCaseOnViewAreTakenOthersAreNot) {
    CaseOnView c;
    c.showStored(7, storedRecord("铜钱摇卦"));
    CaseRecord edited = storedRecord("铜钱摇卦");
    edited.name = "王五";
    edited.year = 2001;
    c.storedCaseEdited(8, edited);
    EXPECT_EQ(c.record().name, "张三");
    c.storedCaseEdited(7, edited);
    EXPECT_EQ(c.record().name, "王五");
    EXPECT_EQ(c.name(), "王五");
    EXPECT_EQ(c.castingTime().year, 2001);
    c.leaveStoredCase();
    EXPECT_FALSE(c.isOnView(7));
    c.storedCaseEdited(7, storedRecord("铜钱摇卦"));
    EXPECT_EQ(c.record().name, "王五");
}

TEST(CaseOnView, SavesAddOrOverwriteAndDeletingRemovesTheReports) {
    const qingheng::testing::TemporaryHome home("case_on_view");
    MDataBase book;
    ASSERT_TRUE(book.openStore(home.path(), kKindLiuYao).ok);
    CaseOnView c;
    c.setCastingTime({2024, 2, 10, 9, 30, 0, 0});
    ASSERT_TRUE(c.setAsker("某人", "问", 0).ok);
    c.copyIntoRecord();
    c.record().category = "财运";
    ASSERT_TRUE(c.saveAsNew(book).ok);
    ASSERT_TRUE(c.saveAsNew(book).ok);  // new-case mode stays: another case
    EXPECT_EQ(c.record().id, 1u);
    EXPECT_FALSE(c.existing());

    CaseRecord stored;
    ASSERT_TRUE(book.readCase(0, stored).live());
    c.showStored(0, stored);
    c.record().extra = "改过";
    ASSERT_TRUE(c.saveOver(book).ok);
    ASSERT_TRUE(book.readCase(0, stored).live());
    EXPECT_EQ(stored.extra, "改过");

    std::ofstream(book.reportPath(0)) << "report";
    std::ofstream(book.plumReportPath(0)) << "plum";
    ASSERT_TRUE(deleteStoredCase(book, 0).ok);
    EXPECT_FALSE(book.readCase(0, stored).live());
    EXPECT_FALSE(fs::exists(book.reportPath(0)));
    EXPECT_FALSE(fs::exists(book.plumReportPath(0)));
    ASSERT_TRUE(deleteStoredCase(book, 1).ok);  // a case without report files
    EXPECT_FALSE(deleteStoredCase(book, 5).ok);
    EXPECT_FALSE(c.saveOver(book).ok);  // the slot on view is deleted now
}

TEST(CaseOnView, ANumberOrCharacterCastKeepsItsInputWithTheCase) {
    const qingheng::testing::TemporaryHome home("case_input");
    MDataBase book;
    ASSERT_TRUE(book.openStore(home.path(), kKindLiuYao).ok);
    CaseOnView saved;
    ASSERT_TRUE(saved.setAsker("某人", "问", 0).ok);
    saved.takeCast(numberCast());
    saved.copyIntoRecord();
    ASSERT_TRUE(saved.saveAsNew(book).ok);

    CaseRecord stored;
    ASSERT_TRUE(book.readCase(0, stored).live());
    CaseOnView reopened;
    reopened.showStored(0, stored);
    EXPECT_EQ(reopened.cast(), numberCast());
    const CaseInfo info = reopened.caseInfo();
    EXPECT_EQ(info.inputText, "12");
    EXPECT_EQ(info.total, 3);

    // Cast again by another method: the record keeps no input any more.
    CastResult coins = numberCast();
    coins.method = CastingMethod::Coins;
    coins.label = "铜钱摇卦";
    coins.input.clear();
    reopened.takeCast(coins);
    reopened.copyIntoRecord();
    ASSERT_TRUE(reopened.saveOver(book).ok);
    ASSERT_TRUE(book.readCase(0, stored).live());
    EXPECT_FALSE(stored.castInput);
}

TEST(CaseOnView, AnOlderCaseWithoutItsInputPrintsNoNumberRows) {
    for (const char* label : {"数字起卦", "汉字起卦"}) {
        CaseOnView c;
        c.showStored(7, storedRecord(label));  // as read from a file that kept no input
        EXPECT_EQ(c.cast().input, "");
        const CaseInfo info = c.caseInfo();
        EXPECT_EQ(HeaderRowCount(info), 4) << label;
        CLiuYaoEx engine;
        engine.caseInfo = info;
        ASSERT_TRUE(engine.Assemble(info.methodLabel)) << engine.errorText;
        EXPECT_EQ(engine.lineText.find("上卦数"), std::string::npos) << label;
        EXPECT_NE(engine.lineText.find(std::string("起卦方式：") + label + "   占问事宜：问财\n起卦公历："),
                  std::string::npos)
            << label;
    }
}

TEST(CaseOnView, ForgettingTheCaseLeavesNothingToSave) {
    CaseOnView c;
    CaseRecord r = storedRecord("数字起卦");
    r.castInput = StoredCastInput{"12", 1, 2, 3};
    c.showStored(7, r);
    c.setChartValid(true);
    c.forgetCase();
    EXPECT_FALSE(c.existing());
    EXPECT_FALSE(c.chartValid());
    EXPECT_FALSE(c.isOnView(7));
    EXPECT_EQ(c.record().name, "");
    EXPECT_EQ(c.cast(), InitialCastResult());
}

// A case from outside (a JSON line) is taken whole or refused with the reason; a use god
// past the five relatives must be refused, not cut to the last one or wrapped to a negative.
TEST(CaseOnView, AWholeCaseCheckRefusesWhatTheWindowCouldNotHaveSaved) {
    struct Case {
        const char* what;
        void (*change)(CaseRecord&);
        const char* message;  // empty: accepted
    };
    const Case cases[] = {
        {"as stored", [](CaseRecord&) {}, ""},
        {"last relative", [](CaseRecord& r) { r.useGod = 4; }, ""},
        {"one past", [](CaseRecord& r) { r.useGod = 5; }, "用神应为0到4（兄弟、子孙、妻财、官鬼、父母）：5"},
        {"wraps to -1", [](CaseRecord& r) { r.useGod = 0xFFFFFFFFu; },
         "用神应为0到4（兄弟、子孙、妻财、官鬼、父母）：4294967295"},
        {"no category", [](CaseRecord& r) { r.category.clear(); }, "类别名不能为空"},
        {"not a leap month", [](CaseRecord& r) { r.year = 2024; }, "此年没有闰2月,请重新确定月份！"},
        {"bad changed code", [](CaseRecord& r) { r.changedCode = "123412"; },
         "变卦卦码应为六个字符，每个是1或2：123412"},
    };
    for (const Case& c : cases) {
        CaseRecord r = storedRecord("其他方式");
        c.change(r);
        const Status s = checkWholeCase(r);
        EXPECT_EQ(s.ok, std::string(c.message).empty()) << c.what;
        EXPECT_EQ(s.message, c.message) << c.what;
    }
}
