// The eight topic buttons of the main window: each puts its topic's judgement of the chart on
// view into the side pane, and refuses without a chart.
#include <QtTest>

#include <QApplication>
#include <QPlainTextEdit>
#include <QToolButton>

#include <memory>

#include "DialogDriver.h"
#include "MainWindowFixture.h"
#include "ui/common/Untprompt.h"
#include "ui/common/Unttext.h"
#include "ui/main/Untmain.h"

using namespace qingheng;
using namespace qingheng::testing;

namespace {

const char* const kButtons[] = {"SbtoCaiYun", "SbtoXingRen", "SbtoFangWu",  "SbtoJiBing",
                                "SbtoTianQi", "SbtoKaoXue",  "SbtoShengYi", "SbtoHunYun"};
const char* const kTitles[] = {"财运", "行人", "住宅", "疾病", "天气", "考学", "生意", "婚姻"};

}  // namespace

class TestTopicButtons : public QObject {
    Q_OBJECT

    std::unique_ptr<MainWindowHome> home_;

private slots:
    void init() { home_ = std::make_unique<MainWindowHome>("topics"); }
    void cleanup() { home_.reset(); }

    void withoutAChartEveryButtonAsksForOne() {
        ScopedScriptedPrompts script;
        TFrmMain w;
        QVERIFY(showAndWait(w));
        child<QPlainTextEdit>(w, "MeoDec")->setPlainText(QStringLiteral("旧的说明"));
        for (const char* name : kButtons) {
            auto* button = child<QToolButton>(w, name);
            QVERIFY2(button, name);
            button->click();
            QCOMPARE(script->shown.size(), std::size_t(1));
            QCOMPARE(script->shown.back().text, QStringLiteral("请先起一个正确的卦"));
            QCOMPARE(script->shown.back().caption, QStringLiteral("提示"));
            QCOMPARE(script->shown.back().icon, PromptIcon::Information);
            script->shown.clear();
        }
        QCOMPARE(sidePaneText(w), QStringLiteral("旧的说明"));
    }

    void eachButtonShowsItsTopicForTheChartOnView() {
        ScopedScriptedPrompts script;
        TFrmMain w;
        QVERIFY(showAndWait(w));
        QVERIFY(castByNumber(w, *script, QStringLiteral("12")));  // 天泽履 changing to 乾为天
        script->shown.clear();                                    // the number input box

        for (int t = 0; t < kTopicCount; ++t) {
            auto* button = child<QToolButton>(w, kButtons[t]);
            QCOMPARE(button->text(), QString::fromUtf8(kTitles[t]));
            button->click();
            const QString expected = storedToMemo(TopicJudgement(w.engine().chart(), t));
            QCOMPARE(sidePaneText(w), expected);
            QVERIFY(sidePaneText(w).startsWith(QString::fromUtf8(kTitles[t]) + QStringLiteral("预测：")));
            button->click();  // the same text again, not appended
            QCOMPARE(sidePaneText(w), expected);
        }
        QVERIFY(script->shown.empty());

        // Business for 天泽履: world 申 and response 卯 hinder each other, 妻财 is hidden.
        click(w, "SbtoShengYi");
        QCOMPARE(sidePaneText(w),
                 QStringLiteral("生意预测：（世为自己，应为他人，财为货物，当察三者，以断生意成败）\n\n"
                                "◆相应克害，双方不同心。\n"
                                "◆应爻冲克耗世爻，货物难卖。\n"
                                "◆财空伏者，无货。\n"));
    }

    void theButtonsAreReachedWithTheKeyboard() {
        ScopedScriptedPrompts script;
        TFrmMain w;
        QVERIFY(showAndWait(w));
        QVERIFY(castByNumber(w, *script, QStringLiteral("12")));
        w.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&w));
        // Tab from 解释 walks through the topic buttons; Space presses the one with focus.
        child<QToolButton>(w, "SpeedButton2")->setFocus();
        for (const char* name : kButtons) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            QCOMPARE(QApplication::focusWidget()->objectName(), QString::fromUtf8(name));
        }
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Space);
        QVERIFY(sidePaneText(w).startsWith(QStringLiteral("婚姻预测：")));
    }
};

QTEST_MAIN(TestTopicButtons)
#include "TestTopicButtons.moc"
