// "查找卦例" and the plain listing of every case: what reaches the kept query, what the
// case book finds with it, and the refusals that keep the dialog open.
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QtTest>

#include "DialogDriver.h"
#include "TemporaryHome.h"

#include "casebook/Database.h"
#include "platform/ProgramFolder.h"
#include "platform/Settings.h"
#include "ui/casebook/Untsearch.h"
#include "ui/common/Untprompt.h"
#include "vocab/Hexagram.h"

using namespace qingheng;
using qingheng::testing::child;
using qingheng::testing::click;

using Ids = std::vector<std::uint32_t>;

class TestFrmSearch : public QObject {
    Q_OBJECT

    std::unique_ptr<qingheng::testing::TemporaryHome> home;
    MDataBase store;

    // mainCode and changedCode: the lines top first, 3 and 4 moving.
    std::uint32_t addCase(const std::string& name, std::int16_t year = 2024, const std::string& category = "财运",
                          const std::string& question = "问生意", const std::string& mainCode = "123412",
                          const std::string& changedCode = "121212") {
        CaseRecord r;
        r.name = name;
        r.category = category;
        r.question = question;
        r.year = year;
        r.month = 3;
        r.day = 15;
        r.hour = 9;
        r.extra = "备注:";
        r.mainCode = mainCode;
        r.changedCode = changedCode;
        r.label = "铜钱摇卦";
        const Status s = store.addCase(r);
        if (!s) qWarning("%s", s.message.c_str());
        return r.id;
    }

    static QLineEdit* edit(QDialog& d, const char* name) { return child<QLineEdit>(d, name); }
    static QCheckBox* check(QDialog& d, const char* name) { return child<QCheckBox>(d, name); }
    static QComboBox* category(QDialog& d) { return child<QComboBox>(d, "CboFenLei"); }

private slots:
    void init() {
        home = std::make_unique<qingheng::testing::TemporaryHome>("frmsearch");
        home->useAsProgramFolder();
        QVERIFY(store.openStore(programFolder(), kKindLiuYao).ok);
    }

    void theDialogKeepsItsSizeThroughASearch() {
        ScopedScriptedPrompts script;
        addCase("张三");
        CaseQuery query;
        TFrmSearch dialog(store, query);
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        const QSize before = dialog.size();
        click(dialog, "BtnSearch");  // finds 张三; No keeps the dialog open
        QApplication::processEvents();
        QCOMPARE(dialog.size(), before);
    }

    void textBoxesStopAtTheirBytes() {
        CaseQuery query;
        TFrmSearch dialog(store, query);
        struct Case {
            QLineEdit* box;
            QString typed, kept;
        };
        for (const Case& c :
             {Case{edit(dialog, "Edtname"), QStringLiteral("六个汉字名字"), QStringLiteral("六个汉字名")},
              {category(dialog)->lineEdit(), QStringLiteral("七个汉字的类别"), QStringLiteral("七个汉字的类")},
              {edit(dialog, "LedtEvent"), QString(25, QChar(0x95EE)), QString(20, QChar(0x95EE))}}) {
            qingheng::testing::typeText(c.box, c.typed);
            QCOMPARE(c.box->text(), c.kept);
        }
    }

    void controlsStartFromAnUnusedQuery() {
        IniFile ini(datFile(kLyInitFile));
        ini.writeInteger("classes", "count", 2);
        ini.writeString("classes", "1", "财运");  // key 2 missing: the default name stands in
        QVERIFY(ini.save().ok);
        CaseQuery query;
        TFrmSearch dialog(store, query);
        QCOMPARE(dialog.windowTitle(), QStringLiteral("查找卦例"));
        QCOMPARE(edit(dialog, "Edtname")->maxLength(), 10);
        QCOMPARE(category(dialog)->lineEdit()->maxLength(), 12);
        QCOMPARE(edit(dialog, "LedtEvent")->maxLength(), 40);
        QCOMPARE(edit(dialog, "LedtY1")->maxLength(), 4);
        QCOMPARE(edit(dialog, "LedtY2")->maxLength(), 4);
        QCOMPARE(child<QPushButton>(dialog, "BtoAll")->toolTip(), QStringLiteral("清除所有条件，以查找全部卦例"));
        QCOMPARE(check(dialog, "ChkName")->text(), QStringLiteral("全字匹配"));
        QCOMPARE(category(dialog)->count(), 2);
        QCOMPARE(category(dialog)->itemText(1), QStringLiteral("临时保存"));
        QVERIFY(category(dialog)->currentText().isEmpty());
        QVERIFY(edit(dialog, "LedtY1")->text().isEmpty());
        QVERIFY(child<QWidget>(dialog, "Animate1")->isHidden());
    }

    void refusedYearsKeepTheDialogAndTheQuery() {
        addCase("张三");
        ScopedScriptedPrompts script;
        CaseQuery query;
        query.name = "旧";
        TFrmSearch dialog(store, query);
        QSignalSpy accepted(&dialog, &QDialog::accepted);

        edit(dialog, "LedtY1")->setText("2005");  // the empty last year reads as 0
        click(dialog, "BtnSearch");
        QCOMPARE(script->shown.size(), size_t(1));
        QCOMPARE(script->lastText(), QStringLiteral("年份必须在1900到2050年之间"));
        QCOMPARE(script->shown.back().caption, QStringLiteral("年份错误"));
        QCOMPARE(script->shown.back().icon, PromptIcon::Warning);

        edit(dialog, "LedtY2")->setText("2004");
        edit(dialog, "Edtname")->setText("张");
        click(dialog, "BtnSearch");
        QCOMPARE(script->lastText(), QStringLiteral("结束年必须大于或等于起始年"));
        QCOMPARE(script->shown.back().caption, QStringLiteral("年份错误"));

        edit(dialog, "LedtY2")->setText("abcd");
        click(dialog, "BtnSearch");
        QCOMPARE(script->lastText(), QStringLiteral("年份必须在1900到2050年之间"));
        edit(dialog, "LedtY1")->setText("1899");
        edit(dialog, "LedtY2")->setText("1900");
        click(dialog, "BtnSearch");
        QCOMPARE(script->lastText(), QStringLiteral("年份必须在1900到2050年之间"));

        QCOMPARE(accepted.count(), 0);
        QCOMPARE(edit(dialog, "Edtname")->text(), QStringLiteral("张"));  // input intact
        QVERIFY(!query.useYears);
        QCOMPARE(query.nameMode, MatchMode::Ignore);
        QCOMPARE(query.name, std::string("旧"));
    }

    void emptyCriteriaFindEveryLiveCase() {
        const std::uint32_t a = addCase("张三", 2001);
        const std::uint32_t b = addCase("李四", 2010);
        const std::uint32_t c = addCase("王五", 2020);
        QVERIFY(store.removeCase(b).ok);
        ScopedScriptedPrompts script;
        script->questionAnswers = {true};
        CaseQuery query;
        TFrmSearch dialog(store, query);
        QSignalSpy accepted(&dialog, &QDialog::accepted);
        click(dialog, "BtnSearch");
        QCOMPARE(script->lastText(), QStringLiteral("共找到2条记录，要显示到卦例列表中吗？"));
        QCOMPARE(script->shown.back().caption, QStringLiteral("提示"));
        QCOMPARE(script->shown.back().icon, PromptIcon::Information);
        QCOMPARE(accepted.count(), 1);
        QCOMPARE(dialog.resultIds(), (Ids{a, c}));
        QVERIFY(!query.useYears);
        QCOMPARE(query.nameMode, MatchMode::Ignore);
        QCOMPARE(query.categoryMode, MatchMode::Ignore);
        QCOMPARE(query.questionMode, MatchMode::Ignore);
        QVERIFY(child<QWidget>(dialog, "Animate1")->isHidden());
        QVERIFY(child<QPushButton>(dialog, "BtnSearch")->isEnabled());
    }

    void exactMatchNarrowsAContainsMatch() {
        const std::uint32_t zhang = addCase("张");
        const std::uint32_t zhangsan = addCase("张三");
        addCase("李四");
        const std::uint32_t lizhang = addCase("李张");
        ScopedScriptedPrompts script;
        script->questionAnswers = {true, true};
        CaseQuery query;
        {
            TFrmSearch dialog(store, query);
            edit(dialog, "Edtname")->setText("张");
            click(dialog, "BtnSearch");
            QCOMPARE(dialog.resultIds(), (Ids{zhang, zhangsan, lizhang}));
            QCOMPARE(query.nameMode, MatchMode::Contains);
        }
        {
            TFrmSearch dialog(store, query);
            check(dialog, "ChkName")->setChecked(true);
            click(dialog, "BtnSearch");
            QCOMPARE(dialog.resultIds(), (Ids{zhang}));
            QCOMPARE(query.nameMode, MatchMode::Equals);
        }
    }

    void criteriaCombineWithAnInclusiveYearRange() {
        addCase("甲", 2003, "财运");
        const std::uint32_t b = addCase("乙", 2004, "婚姻", "问婚期");
        const std::uint32_t c = addCase("丙", 2006, "婚姻", "问婚事");
        addCase("丁", 2007, "婚姻", "问婚期");
        addCase("戊", 2005, "婚姻姻", "问婚期");
        ScopedScriptedPrompts script;
        script->questionAnswers = {true};
        CaseQuery query;
        TFrmSearch dialog(store, query);
        edit(dialog, "LedtY1")->setText("2004");
        edit(dialog, "LedtY2")->setText("2006");
        category(dialog)->setEditText("婚姻");
        check(dialog, "ChkClass")->setChecked(true);
        edit(dialog, "LedtEvent")->setText("问婚");
        click(dialog, "BtnSearch");
        QCOMPARE(dialog.resultIds(), (Ids{b, c}));
        QVERIFY(query.useYears);
        QCOMPARE(query.firstYear, std::int16_t(2004));
        QCOMPARE(query.lastYear, std::int16_t(2006));
        QCOMPARE(query.category, std::string("婚姻"));
        QCOMPARE(query.questionMode, MatchMode::Contains);
    }

    void reopeningShowsTheKeptCriteria() {
        addCase("张三", 2010, "财运", "问生意");
        ScopedScriptedPrompts script;
        script->questionAnswers = {true, true};
        CaseQuery query;
        {
            TFrmSearch dialog(store, query);
            edit(dialog, "Edtname")->setText("张三");
            check(dialog, "ChkName")->setChecked(true);
            category(dialog)->setEditText("财");
            edit(dialog, "LedtEvent")->setText("生意");
            check(dialog, "ChkEvent")->setChecked(true);  // exact: finds nothing
            edit(dialog, "LedtY1")->setText("2000");
            edit(dialog, "LedtY2")->setText("2020");
            click(dialog, "BtnSearch");
            QCOMPARE(script->lastText(), QStringLiteral("没有找到符合条件的卦例。"));
            QCOMPARE(script->shown.back().caption, QStringLiteral("信息"));
        }
        {
            TFrmSearch dialog(store, query);
            QCOMPARE(edit(dialog, "Edtname")->text(), QStringLiteral("张三"));
            QVERIFY(check(dialog, "ChkName")->isChecked());
            QCOMPARE(category(dialog)->currentText(), QStringLiteral("财"));
            QVERIFY(!check(dialog, "ChkClass")->isChecked());
            QCOMPARE(edit(dialog, "LedtEvent")->text(), QStringLiteral("生意"));
            QVERIFY(check(dialog, "ChkEvent")->isChecked());
            QCOMPARE(edit(dialog, "LedtY1")->text(), QStringLiteral("2000"));
            QCOMPARE(edit(dialog, "LedtY2")->text(), QStringLiteral("2020"));

            // Emptied fields switch their criteria off but the query keeps the old texts.
            edit(dialog, "Edtname")->clear();
            edit(dialog, "LedtEvent")->clear();
            edit(dialog, "LedtY1")->clear();
            edit(dialog, "LedtY2")->clear();
            click(dialog, "BtnSearch");
            QCOMPARE(dialog.resultIds().size(), size_t(1));
        }
        QCOMPARE(query.nameMode, MatchMode::Ignore);
        QCOMPARE(query.name, std::string("张三"));
        QCOMPARE(query.questionMode, MatchMode::Ignore);
        QVERIFY(!query.useYears);
        TFrmSearch again(store, query);
        QCOMPARE(edit(again, "Edtname")->text(), QStringLiteral("张三"));
        QVERIFY(!check(again, "ChkName")->isChecked());
        QCOMPARE(edit(again, "LedtEvent")->text(), QStringLiteral("生意"));
        QVERIFY(!check(again, "ChkEvent")->isChecked());
        QVERIFY(edit(again, "LedtY1")->text().isEmpty());
    }

    void answeringNoOrAnEmptyStoreKeepsTheDialogOpen() {
        ScopedScriptedPrompts script;
        CaseQuery query;
        TFrmSearch dialog(store, query);
        QSignalSpy accepted(&dialog, &QDialog::accepted);
        click(dialog, "BtnSearch");
        QCOMPARE(script->lastText(), QStringLiteral("没有记录，无从查找。"));
        addCase("张三");
        script->questionAnswers = {false};
        click(dialog, "BtnSearch");
        QCOMPARE(script->lastText(), QStringLiteral("共找到1条记录，要显示到卦例列表中吗？"));
        QCOMPARE(script->shown.size(), size_t(2));
        QCOMPARE(accepted.count(), 0);
        QVERIFY(child<QPushButton>(dialog, "BtoCancel")->isEnabled());
    }

    void clearingAsksFirstAndLeavesTheQueryAlone() {
        ScopedScriptedPrompts script;
        CaseQuery query;
        query.name = "张";
        query.nameMode = MatchMode::Equals;
        query.useYears = true;
        query.firstYear = 2000;
        query.lastYear = 2001;
        TFrmSearch dialog(store, query);
        script->questionAnswers = {false};
        click(dialog, "BtoAll");
        QCOMPARE(script->lastText(), QStringLiteral("这将清除所有输入的条件参数，以便搜索所有卦例，确定吗？"));
        QCOMPARE(script->shown.back().caption, QStringLiteral("提示"));
        QCOMPARE(edit(dialog, "Edtname")->text(), QStringLiteral("张"));
        script->questionAnswers = {true};
        category(dialog)->setEditText("财运");
        check(dialog, "ChkClass")->setChecked(true);
        click(dialog, "BtoAll");
        QVERIFY(edit(dialog, "Edtname")->text().isEmpty());
        QVERIFY(!check(dialog, "ChkName")->isChecked());
        QVERIFY(category(dialog)->currentText().isEmpty());
        QVERIFY(!check(dialog, "ChkClass")->isChecked());
        QVERIFY(edit(dialog, "LedtY1")->text().isEmpty());
        QVERIFY(edit(dialog, "LedtY2")->text().isEmpty());
        QCOMPARE(query.nameMode, MatchMode::Equals);
        QVERIFY(query.useYears);
    }

    void aFailedSearchIsReportedAndFindsNothing() {
        addCase("张三");
        ScopedScriptedPrompts script;
        CaseQuery query;
        TFrmSearch dialog(store, query);
        QSignalSpy accepted(&dialog, &QDialog::accepted);
        edit(dialog, "Edtname")->setText(QStringLiteral("\U0001F600"));  // has no GBK form
        click(dialog, "BtnSearch");
        QCOMPARE(script->shown.back().caption, QStringLiteral("错误"));
        QCOMPARE(script->shown.back().icon, PromptIcon::Stop);
        QVERIFY(!script->lastText().isEmpty());
        QCOMPARE(accepted.count(), 0);
        QVERIFY(dialog.resultIds().empty());
        QVERIFY(child<QPushButton>(dialog, "BtnSearch")->isEnabled());
    }

    // 乾为天 is six yang lines; 天风姤 has a yin line at the bottom under five yang ones;
    // 坤为地 is six yin lines.
    void aHexagramNameFindsCasesWhoseMainOrChangedHexagramItIs() {
        // 乾为天 changing into 天风姤; 天风姤 without a moving line; 坤为地.
        const std::uint32_t changesInto = addCase("甲", 2024, "财运", "问生意", "111113", "111112");
        const std::uint32_t castAs = addCase("乙", 2024, "财运", "问生意", "111112", "111112");
        const std::uint32_t earth = addCase("丙", 2024, "财运", "问生意", "222222", "222222");
        struct Case {
            QString typed;
            Ids found;
            const char* fault;
        };
        const Case cases[] = {
            {QStringLiteral("天风姤"), {changesInto, castAs}, "the changed hexagram is not searched"},
            {QStringLiteral("乾为天"), {changesInto}, "moving marks hide the main hexagram"},
            {QStringLiteral(" 坤为地 "), {earth}, "blanks around the name refuse it"},
            {QStringLiteral("地天泰"), {}, "an absent hexagram finds something"},
        };
        for (const Case& c : cases) {
            ScopedScriptedPrompts script;
            script->questionAnswers = {true};
            CaseQuery query;
            TFrmSearch dialog(store, query);
            child<QComboBox>(dialog, "CboGuaMing")->setEditText(c.typed);
            click(dialog, "BtnSearch");
            QVERIFY2(dialog.resultIds() == c.found, c.fault);
            if (c.found.empty()) QCOMPARE(script->lastText(), QStringLiteral("没有找到符合条件的卦例。"));
        }
    }

    void anUnknownHexagramNameIsRefusedAndSearchesNothing() {
        addCase("甲", 2024, "财运", "问生意", "111112", "111112");
        ScopedScriptedPrompts script;
        CaseQuery query;
        query.hexagram = 1;
        query.name = "旧";
        TFrmSearch dialog(store, query);
        QSignalSpy accepted(&dialog, &QDialog::accepted);
        child<QComboBox>(dialog, "CboGuaMing")->setEditText(QStringLiteral("天风"));
        edit(dialog, "Edtname")->setText("甲");
        click(dialog, "BtnSearch");
        QCOMPARE(script->shown.size(), size_t(1));
        QCOMPARE(script->lastText(), QStringLiteral("“天风”不是六十四卦的卦名，请从列表中选择，例如天风姤。"));
        QCOMPARE(script->shown.back().caption, QStringLiteral("卦名错误"));
        QCOMPARE(script->shown.back().icon, PromptIcon::Warning);
        QCOMPARE(accepted.count(), 0);
        QVERIFY(dialog.resultIds().empty());
        QCOMPARE(query.hexagram, 1);  // the kept query is untouched
        QCOMPARE(query.name, std::string("旧"));
    }

    void theHexagramCriterionIsKeptAndCleared() {
        addCase("甲", 2024, "财运", "问生意", "111112", "111112");
        ScopedScriptedPrompts script;
        script->questionAnswers = {true, true};
        CaseQuery query;
        {
            TFrmSearch dialog(store, query);
            QCOMPARE(child<QComboBox>(dialog, "CboGuaMing")->count(), 64);
            QVERIFY(child<QComboBox>(dialog, "CboGuaMing")->currentText().isEmpty());
            child<QComboBox>(dialog, "CboGuaMing")->setEditText(QStringLiteral("天风姤"));
            click(dialog, "BtnSearch");
        }
        QCOMPARE(query.hexagram, HexagramNumberOfName("天风姤"));
        TFrmSearch again(store, query);
        QCOMPARE(child<QComboBox>(again, "CboGuaMing")->currentText(), QStringLiteral("天风姤"));
        again.show();
        QVERIFY(QTest::qWaitForWindowExposed(&again));
        qingheng::testing::screenshot(&again, "search_by_hexagram");
        click(again, "BtoAll");
        QVERIFY(child<QComboBox>(again, "CboGuaMing")->currentText().isEmpty());
        click(again, "BtnSearch");  // an empty name switches the criterion off
        QCOMPARE(query.hexagram, 0);
    }

    void listingEveryCase() {
        ScopedScriptedPrompts script;
        QVERIFY(!searchAllCases(nullptr, store).has_value());
        QCOMPARE(script->lastText(), QStringLiteral("没有记录，无从查找。"));

        const std::uint32_t a = addCase("张三", 2001);
        const std::uint32_t b = addCase("李四", 2010);
        const std::uint32_t c = addCase("王五", 2020);
        QVERIFY(store.removeCase(b).ok);
        const auto live = searchAllCases(nullptr, store);
        QVERIFY(live.has_value());
        QCOMPARE(*live, (Ids{a, c}));
        QCOMPARE(script->shown.size(), size_t(1));

        QVERIFY(store.removeCase(a).ok);
        QVERIFY(store.removeCase(c).ok);
        QVERIFY(!searchAllCases(nullptr, store).has_value());
        QCOMPARE(script->lastText(), QStringLiteral("没有找到符合条件的卦例。"));
        QCOMPARE(script->shown.back().caption, QStringLiteral("信息"));
        QCOMPARE(script->shown.back().icon, PromptIcon::Information);
    }
};

QTEST_MAIN(TestFrmSearch)
#include "TestFrmSearch.moc"
