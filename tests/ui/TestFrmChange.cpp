#include <QtTest>

#include <QLineEdit>
#include <QPushButton>

#include <filesystem>
#include <memory>

#include "DialogDriver.h"
#include "TemporaryHome.h"
#include "casting/StrokeTable.h"
#include "platform/FileUtil.h"
#include "ui/common/Untprompt.h"
#include "ui/reference/Untchang.h"

using namespace qingheng;
using qingheng::testing::child;
using qingheng::testing::click;
using qingheng::testing::TemporaryHome;
namespace fs = std::filesystem;

class TestFrmChange : public QObject {
    Q_OBJECT

    std::unique_ptr<TemporaryHome> home_;
    fs::path table_;

    static void lookUp(TFrmChange& d, const QString& character) {
        child<QLineEdit>(d, "ledtin")->setText(character);
        click(d, "BtnSearch");
    }
    static void change(TFrmChange& d, const QString& count) {
        child<QLineEdit>(d, "ledtnum")->setText(count);
        click(d, "BtnChange");
    }
    static QPushButton* changeButton(TFrmChange& d) { return child<QPushButton>(d, "BtnChange"); }
    static QString newCount(TFrmChange& d) { return child<QLineEdit>(d, "ledtnum")->text(); }

private slots:
    void init() {
        home_ = std::make_unique<TemporaryHome>("change");
        home_->withShippedFiles({"hzlen.dat"}).useAsProgramFolder();
        table_ = home_->dat() / "hzlen.dat";
    }
    void cleanup() { home_.reset(); }

    void lookUpShowsTheCountAndEnablesTheChange() {
        ScopedScriptedPrompts script;
        TFrmChange d;
        d.show();
        QCOMPARE(d.windowTitle(), QStringLiteral("修改笔画"));
        QCOMPARE(d.tablePath(), table_);
        QVERIFY(!changeButton(d)->isEnabled());
        QVERIFY(changeButton(d)->isDefault());
        QCOMPARE(child<QLineEdit>(d, "ledtnum")->toolTip(), QStringLiteral("输入新笔画数"));
        lookUp(d, QStringLiteral("数"));
        QCOMPARE(newCount(d), QStringLiteral("15"));
        QVERIFY(changeButton(d)->isEnabled());
        QVERIFY(script->shown.empty());
        qingheng::testing::screenshot(&d, "TFrmChange");
    }

    void aChangeWritesTheCountAndDisablesTheButton() {
        ScopedScriptedPrompts script;
        TFrmChange d;
        const std::string before = *readFileBytes(table_);
        lookUp(d, QStringLiteral("数"));
        change(d, QStringLiteral("14"));
        QCOMPARE(script->shown.size(), size_t(1));
        QCOMPARE(script->shown[0].text, QStringLiteral("完成修改"));
        QCOMPARE(script->shown[0].caption, QStringLiteral("完成"));
        QCOMPARE(script->shown[0].icon, PromptIcon::Information);
        QVERIFY(!changeButton(d)->isEnabled());
        QCOMPARE(strokeCount("数"), 14);
        const std::string after = *readFileBytes(table_);
        int differing = 0;
        for (std::size_t i = 0; i < before.size(); ++i) differing += before[i] != after[i];
        QCOMPARE(differing, 1);  // 15 → 14 changes the low count byte only
    }

    void countsOutsideOneToFiftyAreRefused_data() {
        QTest::addColumn<QString>("count");
        QTest::addColumn<bool>("accepted");
        QTest::newRow("0") << QStringLiteral("0") << false;
        QTest::newRow("51") << QStringLiteral("51") << false;
        QTest::newRow("not a number") << QStringLiteral("ab") << false;
        QTest::newRow("empty") << QString() << false;
        QTest::newRow("1") << QStringLiteral("1") << true;
        QTest::newRow("50") << QStringLiteral("50") << true;
    }
    void countsOutsideOneToFiftyAreRefused() {
        QFETCH(QString, count);
        QFETCH(bool, accepted);
        ScopedScriptedPrompts script;
        TFrmChange d;
        lookUp(d, QStringLiteral("数"));
        change(d, count);
        QCOMPARE(script->shown.size(), size_t(1));
        if (accepted) {
            QCOMPARE(script->shown[0].text, QStringLiteral("完成修改"));
            QCOMPARE(strokeCount("数"), count.toInt());
        } else {
            QCOMPARE(script->shown[0].text, QStringLiteral("请输入一个汉字,且笔画数在1--50之间"));
            QCOMPARE(script->shown[0].caption, QStringLiteral("错误"));
            QCOMPARE(strokeCount("数"), 15);
        }
    }

    void onlyOneChineseCharacterIsLookedUp() {
        ScopedScriptedPrompts script;
        TFrmChange d;
        for (const QString& text : {QStringLiteral("a"), QStringLiteral("ab"), QStringLiteral("数字"), QString()}) {
            lookUp(d, text);
            QCOMPARE(script->shown.back().text, QStringLiteral("请输入汉字"));
            QCOMPARE(script->shown.back().caption, QStringLiteral("汉字"));
            QCOMPARE(script->shown.back().icon, PromptIcon::Stop);
        }
    }

    void aCharacterWithoutARecordIsNotFound() {
        ScopedScriptedPrompts script;
        TFrmChange d;
        lookUp(d, QStringLiteral("数"));
        lookUp(d, QStringLiteral("，"));
        QCOMPARE(script->shown.back().text, QStringLiteral("找不到这个汉字的笔画"));
        QCOMPARE(script->shown.back().caption, QStringLiteral("错误"));
        QVERIFY(!changeButton(d)->isEnabled());
        QCOMPARE(newCount(d), QStringLiteral("15"));  // left as it was
    }

    void aMissingTableIsReportedWhenTheDialogOpens() {
        ScopedScriptedPrompts script;
        fs::remove(table_);
        TFrmChange d;
        QCOMPARE(script->shown.size(), size_t(1));
        QCOMPARE(script->shown[0].text, QStringLiteral("汉字库文件丢失！"));
        lookUp(d, QStringLiteral("数"));
        QCOMPARE(script->shown.size(), size_t(1));  // the look-up itself says nothing more
        QVERIFY(!changeButton(d)->isEnabled());
    }

    void aTableThatCannotBeUpdatedIsReportedNotCompleted() {
        ScopedScriptedPrompts script;
        TFrmChange d;
        lookUp(d, QStringLiteral("数"));
        fs::remove(table_);
        fs::create_directory(table_);  // the table replaced by something that cannot be written
        change(d, QStringLiteral("20"));
        QCOMPARE(script->shown.size(), size_t(1));
        QVERIFY(script->shown[0].text != QStringLiteral("完成修改"));
        QVERIFY(script->shown[0].text.contains(QStringLiteral("没有修改")));
        QCOMPARE(script->shown[0].icon, PromptIcon::Stop);
        QVERIFY(changeButton(d)->isEnabled());
    }
};

QTEST_MAIN(TestFrmChange)
#include "TestFrmChange.moc"
