#include <QtTest>

#include <QApplication>

#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>

#include <memory>

#include "DialogDriver.h"
#include "TemporaryHome.h"
#include "reference/HourLesson.h"
#include "ui/common/Untprompt.h"
#include "ui/main/Untreportpane.h"
#include "ui/reference/Untliuren.h"

using namespace qingheng;
using qingheng::testing::child;
using qingheng::testing::click;
using qingheng::testing::TemporaryHome;

namespace {

// Types text as one key press, the way an input method hands over Chinese characters.
void typeText(QWidget* edit, const QString& text) {
    QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, text);
    QApplication::sendEvent(edit, &press);
}

QString memo(TFrmLiuRen& d, const char* name) { return child<QPlainTextEdit>(d, name)->toPlainText(); }

}  // namespace

class TestFrmLiuRen : public QObject {
    Q_OBJECT

    std::unique_ptr<TemporaryHome> home_;

private slots:
    void initTestCase() {
        installReportFontSubstitutes();
        home_ = std::make_unique<TemporaryHome>("liuren");
        home_->withShippedFiles({"hzlen.dat"}).useAsProgramFolder();
    }
    void cleanupTestCase() { home_.reset(); }

    void lessonModeListsMonthsDaysAndHours() {
        TFrmLiuRen d(TFrmLiuRen::kLessonMode);
        d.show();
        QCOMPARE(d.windowTitle(), QStringLiteral("苍梧子六壬时课"));
        QVERIFY(!child<QWidget>(d, "panzg")->isVisible());
        auto* lstm = child<QListWidget>(d, "lstm");
        auto* lstd = child<QListWidget>(d, "lstd");
        auto* lsts = child<QListWidget>(d, "lsts");
        QCOMPARE(lstm->count(), 12);
        QCOMPARE(lstd->count(), 30);
        QCOMPARE(lsts->count(), 24);
        QCOMPARE(lstm->item(11)->text(), QStringLiteral("十二月"));
        QCOMPARE(lstd->item(0)->text(), QStringLiteral("初一日"));
        QCOMPARE(lstd->item(20)->text(), QStringLiteral("廿一日"));
        QCOMPARE(lsts->item(23)->text(), QStringLiteral("23时"));
        for (QListWidget* l : {lstm, lstd, lsts}) QCOMPARE(l->currentRow(), 0);
    }

    void castingShowsTheLessonOfTheChosenItems() {
        TFrmLiuRen d(TFrmLiuRen::kLessonMode);
        d.show();
        child<QListWidget>(d, "lstm")->setCurrentRow(11);
        child<QListWidget>(d, "lstd")->setCurrentRow(29);
        child<QListWidget>(d, "lsts")->setCurrentRow(22);
        click(d, "Btnok");
        QCOMPARE(memo(d, "Memo1"), QString::fromStdString(HourLessonText(11, 29, 22)));
        QVERIFY(memo(d, "Memo1").startsWith(QStringLiteral("起课时间：十二月三十日22时\n得[赤口]课论断如下：\n\n")));
        qingheng::testing::screenshot(&d, "TFrmLiuRen_lesson");
    }

    void lessonHelpExplainsTheTool() {
        ScopedScriptedPrompts script;
        TFrmLiuRen d(TFrmLiuRen::kLessonMode);
        click(d, "BitBtn2");
        QCOMPARE(script->lastText(), QStringLiteral("根据时间（农历）起一课断吉凶。"));
    }

    void lotModeDrawsALotFromThreeCharacters() {
        ScopedScriptedPrompts script;
        TFrmLiuRen d(TFrmLiuRen::kLotMode);
        d.show();
        QCOMPARE(d.windowTitle(), QStringLiteral("诸葛神数"));
        QVERIFY(!child<QWidget>(d, "lstm")->isVisible());
        auto* input = child<QLineEdit>(d, "ledthz");
        QCOMPARE(input->text(), QStringLiteral("求测字"));
        QCOMPARE(input->toolTip(), QStringLiteral("输入三个汉字"));
        QVERIFY(child<QPushButton>(d, "Btnce")->isDefault());
        input->setText(QStringLiteral("我爱你"));  // 7, 13 (愛) and 7 strokes: 737 wraps to lot 353
        click(d, "Btnce");
        QVERIFY(script->shown.empty());
        QVERIFY(memo(d, "Memo2").startsWith(QStringLiteral("【测字:我爱你,得第三五三签】\n\n●签诗：")));
        QVERIFY(memo(d, "Memo2").contains(QStringLiteral("\n\n※解签：")));
        qingheng::testing::screenshot(&d, "TFrmLiuRen_lots");
    }

    void lotRefusalsKeepThePreviousResult() {
        ScopedScriptedPrompts script;
        TFrmLiuRen d(TFrmLiuRen::kLotMode);
        d.show();
        auto* input = child<QLineEdit>(d, "ledthz");
        click(d, "Btnce");  // 求测字
        const QString shown = memo(d, "Memo2");
        QVERIFY(!shown.isEmpty());

        input->setText(QStringLiteral("求测"));
        click(d, "Btnce");
        QCOMPARE(script->shown.back().text, QStringLiteral("必须输入3个汉字"));
        QCOMPARE(script->shown.back().caption, QStringLiteral("错误"));
        QCOMPARE(script->shown.back().icon, PromptIcon::Information);
        QCOMPARE(input->text(), QStringLiteral("求测"));

        input->setText(QStringLiteral("abcdef"));
        click(d, "Btnce");
        QCOMPARE(script->shown.back().text, QStringLiteral("必须输入汉字"));
        QCOMPARE(script->shown.back().icon, PromptIcon::Stop);
        QCOMPARE(input->text(), QString());

        input->setText(QStringLiteral("求，字"));
        click(d, "Btnce");
        QCOMPARE(script->shown.back().text, QStringLiteral("找不到\"，\"这个汉字的笔画"));
        QCOMPARE(script->shown.back().caption, QStringLiteral("没有的字"));
        QCOMPARE(memo(d, "Memo2"), shown);
    }

    void theInputHoldsAtMostSixBytes() {
        TFrmLiuRen d(TFrmLiuRen::kLotMode);
        auto* input = child<QLineEdit>(d, "ledthz");
        input->clear();
        typeText(input, QStringLiteral("甲乙丙丁"));
        QCOMPARE(input->text(), QStringLiteral("甲乙丙"));
        input->clear();
        typeText(input, QStringLiteral("abcdefgh"));
        QCOMPARE(input->text(), QStringLiteral("abcdef"));
    }

    void lotHelpExplainsTheTool() {
        ScopedScriptedPrompts script;
        TFrmLiuRen d(TFrmLiuRen::kLotMode);
        click(d, "BitBtn1");
        QCOMPARE(script->lastText(), QStringLiteral("输入三个汉字就可抽一签断吉凶。\n笔画数以繁体字计算。"));
    }
};

QTEST_MAIN(TestFrmLiuRen)
#include "TestFrmLiuRen.moc"
