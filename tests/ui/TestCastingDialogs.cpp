#include <QtTest>

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QTableWidget>

#include <deque>
#include <filesystem>
#include <fstream>
#include <random>

#include "DialogDriver.h"
#include "ScopedClock.h"
#include "ScriptedRandom.h"
#include "TemporaryHome.h"
#include "platform/Clock.h"
#include "platform/ProgramFolder.h"
#include "ui/casting/Untbagua.h"
#include "ui/casting/Untcastinput.h"
#include "ui/casting/Untgname.h"
#include "ui/casting/Untgother.h"
#include "ui/casting/Untgtime.h"
#include "ui/common/Untprompt.h"

using namespace qingheng;
using qingheng::testing::child;
using qingheng::testing::click;
using qingheng::testing::ScopedClock;
using qingheng::testing::ScopedRandom;
using qingheng::testing::screenshot;
using qingheng::testing::TemporaryHome;
namespace fs = std::filesystem;

namespace {

TimeCastingEntry springFestivalEntry() {
    TimeCastingEntry e;
    e.year = 2024;
    e.month = 2;
    e.day = 10;
    e.hour = 9;
    e.minute = 30;
    return e;
}

}  // namespace

class TestCastingDialogs : public QObject {
    Q_OBJECT

    std::unique_ptr<TemporaryHome> home_;

private slots:
    void init() {
        home_ = std::make_unique<TemporaryHome>("casting_dialogs");
        home_->withShippedFiles({"hzlen.dat"}).useAsProgramFolder();
    }

    // ---- input boxes of number and character casting
    void numberCastingAsksAgainAfterEachWarning() {
        ScopedScriptedPrompts script;
        script->inputAnswers = {QStringLiteral("1"), QStringLiteral("12a"), QStringLiteral("12")};
        const auto r = askNumberCast(nullptr);
        QVERIFY(r);
        QCOMPARE(QString::fromStdString(r->mainCode), QStringLiteral("111411"));
        QCOMPARE(script->shown.size(), size_t(5));
        QCOMPARE(script->shown[0].caption, QStringLiteral("数字起卦"));
        QCOMPARE(script->shown[0].text, QStringLiteral("请输入一个数字,如:电话号码等.\n至少2位,最多40位"));
        QCOMPARE(script->shown[1].text, QStringLiteral("数字个数为 2至 40个！"));
        QCOMPARE(script->shown[1].caption, QStringLiteral("个数不对"));
        QCOMPARE(script->shown[1].icon, PromptIcon::Warning);
        QCOMPARE(script->shown[3].text, QStringLiteral("应该输入数字！"));
        QCOMPARE(script->shown[3].caption, QStringLiteral("数字"));
    }

    void numberCastingEndsOnCancelOrEmptyText() {
        ScopedScriptedPrompts script;
        script->inputAnswers = {QString()};
        QVERIFY(!askNumberCast(nullptr));
        QVERIFY(!askNumberCast(nullptr));  // queue empty: cancel
        QCOMPARE(script->shown.size(), size_t(2));
    }

    void characterCastingStopsAtACharacterWithoutStrokes() {
        ScopedScriptedPrompts script;
        script->inputAnswers = {QStringLiteral("ab"), QStringLiteral("数ＡＢ"), QStringLiteral("数字")};
        QVERIFY(!askCharacterCast(nullptr));
        QCOMPARE(script->shown.size(), size_t(4));
        QCOMPARE(script->shown[0].caption, QStringLiteral("汉字起卦"));
        QCOMPARE(script->shown[1].text, QStringLiteral("必须输入汉字"));
        QCOMPARE(script->shown[3].text, QStringLiteral("找不到“Ａ”这个汉字的笔划数"));
        QCOMPARE(script->shown[3].caption, QStringLiteral("找不到"));
        QCOMPARE(script->shown[3].icon, PromptIcon::Information);
        QCOMPARE(script->inputAnswers.size(), size_t(1));  // not asked again
        const auto r = askCharacterCast(nullptr);
        QVERIFY(r);
        QCOMPARE(QString::fromStdString(r->input), QStringLiteral("数字"));
    }

    void randomCastingAsksNothing() {
        ScopedScriptedPrompts script;
        TimeCastingEntry entry;
        const auto cast = runCastingMethod(nullptr, CastingMethod::Random, entry);
        QVERIFY(cast);
        QCOMPARE(QString::fromStdString(cast->result.label), QStringLiteral("随机起卦"));
        QVERIFY(script->shown.empty());
    }

    // ---- coin dialog
    void coinDialogAcceptedAtOnceGivesSixYoungYang() {
        TFrmGua dialog;
        dialog.show();
        screenshot(&dialog, "FrmGuaFaces");
        QCOMPARE(dialog.windowTitle(), QStringLiteral("铜钱摇卦法"));
        QCOMPARE(child<QPushButton>(&dialog, "Btosat")->text(), QStringLiteral("第1次摇"));
        QVERIFY(!child<QPushButton>(&dialog, "Btostop")->isEnabled());
        QCOMPARE(child<QGroupBox>(&dialog, "RdoBox5")->title(), QStringLiteral("初爻"));
        QVERIFY(!dialog.accepted());
        click(&dialog, "Btnsok");
        QVERIFY(dialog.accepted());
        QCOMPARE(QString::fromStdString(dialog.mainCode()), QStringLiteral("111111"));
    }

    void coinDialogThrowsSixTimesThenAccepts() {
        ScopedRandom backs({1});
        TFrmGua dialog;
        dialog.show();
        for (int n = 1; n <= 6; ++n) {
            click(&dialog, "Btosat");
            QVERIFY(!child<QPushButton>(&dialog, "Btosat")->isEnabled());
            QVERIFY(!child<QPushButton>(&dialog, "Btnresture")->isEnabled());
            QMetaObject::invokeMethod(&dialog, "Timer1Timer");  // one tick: three backs
            click(&dialog, "Btostop");
            QCOMPARE(dialog.itemOf(6 - n), 2);
        }
        screenshot(&dialog, "FrmGua");
        QCOMPARE(child<QPushButton>(&dialog, "Btosat")->text(), QStringLiteral("布卦"));
        click(&dialog, "Btosat");
        QVERIFY(dialog.accepted());
        QCOMPARE(QString::fromStdString(dialog.mainCode()), QStringLiteral("333333"));
        QCOMPARE(QString::fromStdString(dialog.changedCode()), QStringLiteral("222222"));
    }

    void coinDialogResetKeepsTheLinesAlreadySet() {
        ScopedRandom faces({0});
        TFrmGua dialog;
        dialog.setItem(0, 1);  // 上爻 two backs by hand
        for (int n = 0; n < 3; ++n) {
            click(&dialog, "Btosat");
            QMetaObject::invokeMethod(&dialog, "Timer1Timer");
            click(&dialog, "Btostop");
        }
        click(&dialog, "Btnresture");
        QCOMPARE(child<QPushButton>(&dialog, "Btosat")->text(), QStringLiteral("第1次摇"));
        QCOMPARE(dialog.itemOf(3), 3);
        dialog.setItem(5, 0);
        click(&dialog, "Btosat");
        QMetaObject::invokeMethod(&dialog, "Timer1Timer");
        click(&dialog, "Btostop");
        QCOMPARE(dialog.itemOf(5), 3);  // the next throw sets 初爻 again
        click(&dialog, "Btnsok");
        QCOMPARE(QString::fromStdString(dialog.mainCode()), QStringLiteral("211444"));
    }

    void coinDialogCancelGivesNoResult() {
        TFrmGua dialog;
        click(&dialog, "BitBtn1");
        QVERIFY(!dialog.accepted());
        QCOMPARE(dialog.result(), int(QDialog::Rejected));
    }

    // ---- name dialog
    void nameDialogGouWithTheBottomLineMoving() {
        TFrmGName dialog;
        dialog.show();
        QCOMPARE(dialog.windowTitle(), QStringLiteral("卦名起卦法"));
        auto* grid = child<QTableWidget>(&dialog, "sgridgua");
        QCOMPARE(grid->columnCount(), 8);
        QCOMPARE(grid->rowCount(), 9);
        QCOMPARE(grid->item(0, 0)->text(), QStringLiteral("  乾宫"));
        QCOMPARE(grid->item(1, 7)->text().trimmed(), QStringLiteral("坤为地"));
        grid->setCurrentCell(2, 0);
        child<QCheckBox>(&dialog, "Chk0")->setChecked(true);
        screenshot(&dialog, "FrmGName");
        click(&dialog, "Btnok");
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QCOMPARE(QString::fromStdString(dialog.mainCode()), QStringLiteral("111114"));
        QCOMPARE(QString::fromStdString(dialog.changedCode()), QStringLiteral("111111"));
    }

    void nameDialogPureHexagramAndHeadingCells() {
        ScopedScriptedPrompts script;
        TFrmGName dialog;
        dialog.show();
        auto* grid = child<QTableWidget>(&dialog, "sgridgua");
        grid->setCurrentCell(0, 3);  // "  震宫" names no hexagram
        click(&dialog, "Btnok");
        QVERIFY(dialog.isVisible());
        QCOMPARE(script->shown.size(), size_t(1));
        grid->setCurrentCell(1, 0);
        click(&dialog, "Btnok");
        QCOMPARE(QString::fromStdString(dialog.mainCode()), QStringLiteral("111111"));
    }

    // ---- other dialog
    void otherDialogKunOverQian() {
        TFrmGuaOther dialog;
        dialog.show();
        QCOMPARE(dialog.windowTitle(), QStringLiteral("其它起卦法"));
        auto* upper = child<QListWidget>(&dialog, "ListBox1");
        QCOMPARE(upper->count(), 8);
        QCOMPARE(upper->item(7)->text(), QStringLiteral("坤八"));
        QCOMPARE(upper->currentRow(), 0);
        upper->setCurrentRow(7);
        screenshot(&dialog, "FrmGuaOther");
        QVERIFY(!dialog.accepted());
        click(&dialog, "Btnok");
        QVERIFY(dialog.accepted());
        QCOMPARE(QString::fromStdString(dialog.mainCode()), QStringLiteral("222111"));
    }

    // ---- time dialog
    void timeDialogShowsTheHintAndCasts() {
        ScopedScriptedPrompts script;
        TimeCastingEntry entry = springFestivalEntry();
        TFrmGTime dialog(entry);
        dialog.show();
        QCOMPARE(dialog.windowTitle(), QStringLiteral("时间起卦法"));
        QCOMPARE(child<QLabel>(&dialog, "StxtHint")->text(), QStringLiteral("公：2024-2-10 9:30，农：甲辰年寅月1日"));
        QCOMPARE(child<QComboBox>(&dialog, "cbos")->itemText(0), QStringLiteral("0时子"));
        QCOMPARE(child<QComboBox>(&dialog, "cbos")->itemText(23), QStringLiteral("23时子"));
        QVERIFY(!child<QLineEdit>(&dialog, "ledthz")->isEnabled());
        screenshot(&dialog, "FrmGTime");
        click(&dialog, "Btnok");
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QCOMPARE(QString::fromStdString(dialog.mainCode()), QStringLiteral("122114"));
        QVERIFY(!dialog.lifetime());
        QVERIFY(script->shown.empty());
    }

    void timeDialogRemembersTheAddition() {
        TimeCastingEntry entry = springFestivalEntry();
        {
            TFrmGTime dialog(entry);
            dialog.show();
            child<QRadioButton>(&dialog, "Rdonum")->setChecked(true);
            QVERIFY(child<QLineEdit>(&dialog, "ledtnum")->isEnabled());
            child<QLineEdit>(&dialog, "ledtnum")->setText(QStringLiteral("3"));
            click(&dialog, "Btnok");
            QCOMPARE(QString::fromStdString(dialog.mainCode()), QStringLiteral("124222"));
        }
        QCOMPARE(entry.additionKind, TimeAddition::Number);
        QCOMPARE(QString::fromStdString(entry.additionText), QStringLiteral("3"));
        TFrmGTime again(entry);
        again.show();
        QVERIFY(child<QRadioButton>(&again, "Rdonum")->isChecked());
        QCOMPARE(child<QLineEdit>(&again, "ledtnum")->text(), QStringLiteral("3"));
        QCOMPARE(child<QLineEdit>(&again, "ledthz")->text(), QStringLiteral("爻"));
    }

    void timeDialogLifetimePage() {
        TimeCastingEntry entry = springFestivalEntry();
        TFrmGTime dialog(entry);
        dialog.show();
        child<QTabWidget>(&dialog, "PageControl1")->setCurrentIndex(1);
        screenshot(&dialog, "FrmGTimeLifetime");
        click(&dialog, "BitBtn1");
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QVERIFY(dialog.lifetime());
        QCOMPARE(QString::fromStdString(dialog.castResult().label), QStringLiteral("终身卦"));
        QCOMPARE(QString::fromStdString(dialog.mainCode()), QStringLiteral("121311"));
        QVERIFY(dialog.gregorian() == (DateRecord{2024, 2, 10, 9, 30}));
    }

    void timeDialogRefusalsKeepItOpenWithItsEntries() {
        ScopedScriptedPrompts script;
        TimeCastingEntry entry = springFestivalEntry();
        const TimeCastingEntry before = entry;
        TFrmGTime dialog(entry);
        dialog.show();
        auto* year = child<QLineEdit>(&dialog, "Edtyear");
        year->setText(QStringLiteral("1899"));
        QTest::keyClick(year, Qt::Key_Return);
        QCOMPARE(script->shown.size(), size_t(1));
        QCOMPARE(script->shown[0].text, QStringLiteral("起卦年份在 1900-2050之间,请重新输入！"));
        QCOMPARE(script->shown[0].caption, QStringLiteral("时间错误"));
        QCOMPARE(script->shown[0].icon, PromptIcon::Stop);
        click(&dialog, "Btnok");
        QVERIFY(dialog.isVisible());
        QCOMPARE(year->text(), QStringLiteral("1899"));

        year->setText(QStringLiteral("2024"));
        child<QRadioButton>(&dialog, "Rdonum")->setChecked(true);
        child<QLineEdit>(&dialog, "ledtnum")->setText(QStringLiteral("0"));
        click(&dialog, "Btnok");
        QVERIFY(dialog.isVisible());
        QCOMPARE(script->lastText(), QStringLiteral("请输入1至999之间的数"));
        QVERIFY(child<QLineEdit>(&dialog, "ledtnum")->text().isEmpty());

        child<QRadioButton>(&dialog, "Rdohz")->setChecked(true);
        child<QLineEdit>(&dialog, "ledthz")->setText(QStringLiteral("ab"));
        click(&dialog, "Btnok");
        QCOMPARE(script->shown.back().caption, QStringLiteral("无效"));
        QVERIFY(dialog.isVisible());
        QCOMPARE(entry.year, before.year);
        QCOMPARE(entry.additionKind, before.additionKind);
    }

    void timeDialogValidatesAsSoonAsAnEntryChanges() {
        ScopedScriptedPrompts script;
        TimeCastingEntry entry = springFestivalEntry();
        entry.month = 4;
        TFrmGTime dialog(entry);
        dialog.show();
        QVERIFY(script->shown.empty());
        child<QComboBox>(&dialog, "cbod")->setCurrentIndex(30);  // 31 April
        QCOMPARE(script->shown.size(), size_t(1));
        QCOMPARE(script->shown[0].text, QStringLiteral("不存在这个日期"));
        QVERIFY(child<QLabel>(&dialog, "StxtHint")->text().isEmpty());

        child<QComboBox>(&dialog, "cbod")->setCurrentIndex(0);
        child<QComboBox>(&dialog, "cbos")->setCurrentIndex(23);
        child<QComboBox>(&dialog, "cbomin")->setCurrentIndex(15);
        QVERIFY(child<QLabel>(&dialog, "StxtHint")->text().startsWith(QStringLiteral("公：2024-4-2 23:15，")));
    }

    void steppingThroughDaysThatDoNotExistSaysSoOnce() {
        ScopedScriptedPrompts script;
        TimeCastingEntry entry = springFestivalEntry();
        entry.year = 2023;  // not a leap year: 29 to 31 February do not exist
        entry.month = 2;
        entry.day = 28;
        TFrmGTime dialog(entry);
        dialog.show();
        auto* day = child<QComboBox>(&dialog, "cbod");
        for (int index : {30, 29, 28}) day->setCurrentIndex(index);  // 31, 30, 29 February
        QCOMPARE(script->shown.size(), size_t(1));
        QCOMPARE(script->shown[0].text, QStringLiteral("不存在这个日期"));
        day->setCurrentIndex(27);  // 28 February
        QVERIFY(!child<QLabel>(&dialog, "StxtHint")->text().isEmpty());
        day->setCurrentIndex(28);  // a new mistake after a valid day is told again
        QCOMPARE(script->shown.size(), size_t(2));
        click(&dialog, "Btnok");  // and accepting always says why it refuses
        QCOMPARE(script->shown.size(), size_t(3));
        QVERIFY(dialog.isVisible());
    }

    void timeDialogUpDownAndCurrentTime() {
        ScopedScriptedPrompts script;
        const ScopedClock clock({2060, 7, 8, 14, 5, 0});
        TimeCastingEntry entry = springFestivalEntry();
        entry.lunar = 1;
        entry.leap = 1;
        entry.month = 2;
        entry.day = 1;
        entry.year = 2023;
        TFrmGTime dialog(entry);
        dialog.show();
        QVERIFY(child<QRadioButton>(&dialog, "Rdonl")->isChecked());
        QVERIFY(child<QCheckBox>(&dialog, "Chkrun")->isChecked());
        child<QSpinBox>(&dialog, "Updyear")->stepUp();
        QCOMPARE(child<QLineEdit>(&dialog, "Edtyear")->text(), QStringLiteral("2024"));  // 2024 has no leap month 2
        QCOMPARE(script->shown.size(), size_t(1));
        click(&dialog, "SpeedButton1");
        QCOMPARE(child<QLineEdit>(&dialog, "Edtyear")->text(), QStringLiteral("2050"));
        QVERIFY(child<QRadioButton>(&dialog, "Rdogl")->isChecked());
        QVERIFY(!child<QCheckBox>(&dialog, "Chkrun")->isChecked());
        QCOMPARE(child<QComboBox>(&dialog, "cbos")->currentIndex(), 14);
        QVERIFY(child<QLabel>(&dialog, "StxtHint")->text().startsWith(QStringLiteral("公：2050-7-8 14:5")));
    }

    void timeDialogLunarMonthMode() {
        home_->writeDatFile("set.ini", "[set]\ntimegua=1\n");
        TimeCastingEntry entry = springFestivalEntry();
        entry.month = 1;
        entry.day = 5;
        TFrmGTime dialog(entry);
        dialog.show();
        QCOMPARE(child<QLabel>(&dialog, "StxtHint")->text(), QStringLiteral("公：2024-1-5 9:30，农：癸卯年子月24日"));
    }

    void timeDialogCancelLeavesTheEntry() {
        TimeCastingEntry entry = springFestivalEntry();
        TFrmGTime dialog(entry);
        dialog.show();
        child<QComboBox>(&dialog, "cbom")->setCurrentIndex(5);
        click(&dialog, "BitBtn2");
        QCOMPARE(dialog.result(), int(QDialog::Rejected));
        QCOMPARE(entry.month, std::int16_t(2));
    }
};

QTEST_MAIN(TestCastingDialogs)
#include "TestCastingDialogs.moc"
