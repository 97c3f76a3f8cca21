// The eight topic buttons of the main window: each puts its topic's judgement of the chart on
// view into the side pane, and refuses without a chart.
#include <QtTest>

#include <QApplication>
#include <QPlainTextEdit>
#include <QToolButton>

#include <filesystem>

#include "platform/Clock.h"
#include "platform/ProgramFolder.h"
#include "ui/common/Untprompt.h"
#include "ui/common/Unttext.h"
#include "ui/main/Untmain.h"
#include "ui/main/Untreportpane.h"

using namespace qingheng;
namespace fs = std::filesystem;

namespace {

const char* const kButtons[] = {"SbtoCaiYun", "SbtoXingRen", "SbtoFangWu",  "SbtoJiBing",
                                "SbtoTianQi", "SbtoKaoXue",  "SbtoShengYi", "SbtoHunYun"};
const char* const kTitles[] = {"财运", "行人", "住宅", "疾病", "天气", "考学", "生意", "婚姻"};

QString memo(TFrmMain& w) { return w.findChild<QPlainTextEdit*>("MeoDec")->toPlainText(); }

}  // namespace

class TestTopicButtons : public QObject {
    Q_OBJECT

    fs::path home_;

private slots:
    void init() {
        home_ = fs::temp_directory_path() / ("qingheng_topics_" + std::to_string(::getpid()));
        fs::remove_all(home_);
        fs::create_directories(home_ / "dat");
        setProgramFolder(home_);
        setAppClock(std::make_shared<FixedClock>(LocalDateTime{2024, 2, 10, 9, 30, 0}));
        installReportFontSubstitutes();
    }

    void cleanup() {
        setAppClock(std::make_shared<SystemClock>());
        fs::remove_all(home_);
    }

    void withoutAChartEveryButtonAsksForOne() {
        ScopedScriptedPrompts script;
        TFrmMain w;
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        w.findChild<QPlainTextEdit*>("MeoDec")->setPlainText(QStringLiteral("旧的说明"));
        for (const char* name : kButtons) {
            auto* button = w.findChild<QToolButton*>(name);
            QVERIFY2(button, name);
            button->click();
            QCOMPARE(script->shown.size(), std::size_t(1));
            QCOMPARE(script->shown.back().text, QStringLiteral("请先起一个正确的卦"));
            QCOMPARE(script->shown.back().caption, QStringLiteral("提示"));
            QCOMPARE(script->shown.back().icon, PromptIcon::Information);
            script->shown.clear();
        }
        QCOMPARE(memo(w), QStringLiteral("旧的说明"));
    }

    void eachButtonShowsItsTopicForTheChartOnView() {
        ScopedScriptedPrompts script;
        TFrmMain w;
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        script->inputAnswers.push_back(QStringLiteral("12"));
        w.castByListItem(6);  // 数字起卦 12: 天泽履 changing to 乾为天
        QVERIFY(w.chartValid());
        script->shown.clear();  // the number input box

        for (int t = 0; t < kTopicCount; ++t) {
            auto* button = w.findChild<QToolButton*>(kButtons[t]);
            QCOMPARE(button->text(), QString::fromUtf8(kTitles[t]));
            button->click();
            const QString expected = storedToMemo(TopicJudgement(w.engine().chart(), t));
            QCOMPARE(memo(w), expected);
            QVERIFY(memo(w).startsWith(QString::fromUtf8(kTitles[t]) + QStringLiteral("预测：")));
            button->click();  // the same text again, not appended
            QCOMPARE(memo(w), expected);
        }
        QVERIFY(script->shown.empty());

        // Business for 天泽履: world 申 and response 卯 hinder each other, 妻财 is hidden.
        w.findChild<QToolButton*>("SbtoShengYi")->click();
        QCOMPARE(memo(w), QStringLiteral("生意预测：（世为自己，应为他人，财为货物，当察三者，以断生意成败）\n\n"
                                         "◆相应克害，双方不同心。\n"
                                         "◆应爻冲克耗世爻，货物难卖。\n"
                                         "◆财空伏者，无货。\n"));
    }

    void theButtonsAreReachedWithTheKeyboard() {
        ScopedScriptedPrompts script;
        TFrmMain w;
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        script->inputAnswers.push_back(QStringLiteral("12"));
        w.castByListItem(6);
        w.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&w));
        // Tab from 解释 walks through the topic buttons; Space presses the one with focus.
        w.findChild<QToolButton*>("SpeedButton2")->setFocus();
        for (const char* name : kButtons) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            QCOMPARE(QApplication::focusWidget()->objectName(), QString::fromUtf8(name));
        }
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Space);
        QVERIFY(memo(w).startsWith(QStringLiteral("婚姻预测：")));
    }
};

QTEST_MAIN(TestTopicButtons)
#include "TestTopicButtons.moc"
