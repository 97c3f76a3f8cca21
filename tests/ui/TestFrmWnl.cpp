#include <QtTest>

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QSpinBox>
#include <QToolButton>

#include "DialogDriver.h"
#include "platform/Clock.h"
#include "ui/calendar/Untwnl.h"
#include "ui/common/Untpicture.h"
#include "ui/common/Untprompt.h"
#include "ui/main/Untreportpane.h"

using namespace qingheng;

namespace {

QString labelText(TFrmWnl& w, const char* name) { return w.findChild<QLabel*>(name)->text(); }
QString memoText(TFrmWnl& w, const char* name) { return w.findChild<QPlainTextEdit*>(name)->toPlainText(); }
QComboBox* list(TFrmWnl& w, const char* name) { return w.findChild<QComboBox*>(name); }

// The centre of a grid cell of the 450 x 330 picture (cells of 64 x 47 pixels).
QPoint cellCentre(int row, int column) { return QPoint(column * 64 + 32, row * 47 + 23); }

bool hasColour(const QImage& image, QRect area, QColor colour) {
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            if (image.pixelColor(x, y) == colour) return true;
    return false;
}

}  // namespace

class TestFrmWnl : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { installReportFontSubstitutes(); }
    void init() { setAppClock(std::make_shared<FixedClock>(LocalDateTime{2024, 2, 10, 9, 30, 0})); }
    void cleanup() { setAppClock(std::make_shared<SystemClock>()); }

    void opensAtTheClocksMomentWithItsTermsAndPillars() {
        ScopedScriptedPrompts script;
        TFrmWnl w;
        w.show();
        QCOMPARE(w.windowTitle(), QStringLiteral("青衡万年历"));
        QVERIFY(w.windowFlags() & Qt::WindowStaysOnTopHint);
        QVERIFY(w.findChild<QCheckBox*>("chkjq")->isChecked());
        QCOMPARE(labelText(w, "labtitle"), QStringLiteral("2024年2月"));
        QCOMPARE(labelText(w, "labxiao"), QStringLiteral("龙年"));
        QCOMPARE(memoText(w, "memjie1"), QStringLiteral("立春4日16时27分"));
        QCOMPARE(memoText(w, "memjie2"), QStringLiteral("雨水19日12时13分"));
        QCOMPARE(memoText(w, "memgz"), QStringLiteral("甲辰年\n丙寅月\n甲辰日\n己巳时"));
        QCOMPARE(list(w, "cbos")->itemText(9), QStringLiteral("9时"));
        QCOMPARE(w.findChild<QSpinBox*>("UdYear")->value(), 124);
        // Day 10 (a Saturday) in the second week row.
        QCOMPARE(w.findChild<QWidget*>("Shape1")->geometry(), QRect(320, 94, 64, 47));
        QVERIFY(script->shown.empty());
        qingheng::testing::screenshot(&w, "TFrmWnl");
    }

    void gridIsDrawnSharplyAtTwiceThePixelDensity() {
        TFrmWnl w;
        w.show();
        const QImage image = w.findChild<TPictureBox*>("Img1")->render(2.0);
        QCOMPARE(image.size(), QSize(900, 660));
        const QColor black(0, 0, 0), paper(255, 255, 200);
        // The line between columns 0 and 1 on logical pixel 64 covers device pixels 128 and 129,
        // with no blurred edge.
        const int y = 2 * 47 * 3 + 5;  // inside row 3, away from any text
        QCOMPARE(image.pixelColor(128, y), black);
        QCOMPARE(image.pixelColor(129, y), black);
        QCOMPARE(image.pixelColor(127, y), paper);
        QCOMPARE(image.pixelColor(130, y), paper);
        QCOMPARE(image.pixelColor(2, 2 * 47), black);  // the line under the header row
        QCOMPARE(image.pixelColor(2, 2 * 47 + 1), black);
        QCOMPARE(image.pixelColor(2, 2 * 47 - 1), paper);
        QCOMPARE(image.pixelColor(2, 2 * 47 + 2), paper);
        // Term days in red, other days in blue, the header's weekend in red.
        const QColor red(255, 0, 0), blue(0, 0, 255);
        QVERIFY(hasColour(image, QRect(2 * 384, 2 * 47, 128, 94), red));  // 4 立春: row 1, Sunday
        QVERIFY(!hasColour(image, QRect(2 * 384, 2 * 47, 128, 94), blue));
        QVERIFY(hasColour(image, QRect(2 * 192, 2 * 47, 128, 94), blue));  // 1: row 1, Thursday
        QVERIFY(hasColour(image, QRect(2 * 320, 0, 128, 94), red));        // 星期六
        QVERIFY(!hasColour(image, QRect(0, 2 * 47, 2 * 192, 94), blue));   // before day 1: empty
    }

    void clickingADayChoosesItAndOtherClicksDoNothing() {
        ScopedScriptedPrompts script;
        TFrmWnl w;
        w.show();
        w.Img1MouseDown(cellCentre(4, 0), Qt::LeftButton);  // 19 February, a Monday
        QCOMPARE(list(w, "cbod")->currentIndex(), 18);
        QCOMPARE(w.page().request.day, 19);
        QCOMPARE(w.findChild<QWidget*>("Shape1")->geometry(), QRect(0, 188, 64, 47));
        for (const QPoint at : {cellCentre(0, 3), cellCentre(1, 0), cellCentre(5, 5), cellCentre(6, 0),
                                QPoint(449, 200), QPoint(100, 329)})
            w.Img1MouseDown(at, Qt::LeftButton);
        w.Img1MouseDown(cellCentre(2, 0), Qt::RightButton);
        QCOMPARE(w.page().request.day, 19);
        QVERIFY(script->shown.empty());
    }

    void previousAndNextMonthStopAtTheEndsOfTheRange() {
        TFrmWnl w;
        w.show();
        w.findChild<QLineEdit*>("EdtYear")->setText(QStringLiteral("1900"));
        list(w, "cbom")->setCurrentIndex(0);
        QCOMPARE(labelText(w, "labtitle"), QStringLiteral("1900年1月"));
        w.BitBtn2Click();
        QCOMPARE(labelText(w, "labtitle"), QStringLiteral("1900年1月"));
        w.BitBtn1Click();
        QCOMPARE(labelText(w, "labtitle"), QStringLiteral("1900年2月"));
        QCOMPARE(list(w, "cbod")->currentIndex(), 0);

        w.findChild<QLineEdit*>("EdtYear")->setText(QStringLiteral("2050"));
        list(w, "cbom")->setCurrentIndex(11);
        QCOMPARE(labelText(w, "labtitle"), QStringLiteral("2050年12月"));
        w.BitBtn1Click();
        QCOMPARE(labelText(w, "labtitle"), QStringLiteral("2050年12月"));
        w.BitBtn2Click();
        QCOMPARE(labelText(w, "labtitle"), QStringLiteral("2050年11月"));
    }

    void monthsRollOverTheYearWithDayOne() {
        TFrmWnl w;
        w.show();
        list(w, "cbom")->setCurrentIndex(0);  // January 2024, day 10
        w.BitBtn2Click();
        QCOMPARE(labelText(w, "labtitle"), QStringLiteral("2023年12月"));
        QCOMPARE(w.findChild<QLineEdit*>("EdtYear")->text(), QStringLiteral("2023"));
        QCOMPARE(w.page().request.day, 1);
        w.BitBtn1Click();
        QCOMPARE(labelText(w, "labtitle"), QStringLiteral("2024年1月"));
    }

    void aDayPastTheMonthEndIsRefusedAndThePageStays() {
        ScopedScriptedPrompts script;
        TFrmWnl w;
        w.show();
        list(w, "cbom")->setCurrentIndex(3);  // April, day 10
        list(w, "cbod")->setCurrentIndex(30);
        QCOMPARE(script->shown.size(), size_t(1));
        QCOMPARE(script->shown[0].text, QStringLiteral("不存在这个日期，请重新输入！"));
        QCOMPARE(script->shown[0].caption, QStringLiteral("日期不对"));
        QCOMPARE(script->shown[0].icon, PromptIcon::Information);
        QCOMPARE(labelText(w, "labtitle"), QStringLiteral("2024年4月"));
        QCOMPARE(w.page().request.day, 10);
    }

    void yearsOutsideTheRangeAreRefused() {
        ScopedScriptedPrompts script;
        TFrmWnl w;
        w.show();
        auto* year = w.findChild<QLineEdit*>("EdtYear");
        year->setText(QStringLiteral("1899"));
        w.EdtYearEnter();
        QCOMPARE(script->shown.size(), size_t(1));
        QCOMPARE(script->shown[0].text, QStringLiteral("年份在1900-2050之间"));
        QCOMPARE(script->shown[0].caption, QStringLiteral("错误"));
        QCOMPARE(script->shown[0].icon, PromptIcon::Stop);
        year->setText(QStringLiteral("abcd"));
        list(w, "cbomin")->setCurrentIndex(5);
        QCOMPARE(script->shown.size(), size_t(2));
        QCOMPARE(script->shown[1].caption, QStringLiteral("年份不对"));
        QCOMPARE(labelText(w, "labtitle"), QStringLiteral("2024年2月"));
        year->setText(QStringLiteral("2000"));
        w.EdtYearEnter();
        QCOMPARE(labelText(w, "labtitle"), QStringLiteral("2000年2月"));
        QCOMPARE(w.findChild<QSpinBox*>("UdYear")->value(), 100);
    }

    void theUpDownWritesTheYearAndRedraws() {
        TFrmWnl w;
        w.show();
        w.findChild<QSpinBox*>("UdYear")->stepUp();
        QCOMPARE(w.findChild<QLineEdit*>("EdtYear")->text(), QStringLiteral("2025"));
        QCOMPARE(labelText(w, "labtitle"), QStringLiteral("2025年2月"));
    }

    void termMonthsCheckBoxSwitchesYearAndAnimalBeforeNewYear() {
        TFrmWnl w;
        w.show();
        list(w, "cbod")->setCurrentIndex(4);  // 5 February 2024, after 立春
        QCOMPARE(labelText(w, "labxiao"), QStringLiteral("龙年"));
        w.findChild<QCheckBox*>("chkjq")->setChecked(false);
        QCOMPARE(labelText(w, "labxiao"), QStringLiteral("兔年"));
        QVERIFY(memoText(w, "memgz").startsWith(QStringLiteral("癸卯年\n乙丑月\n")));
    }

    void nowButtonReturnsToTheClock() {
        TFrmWnl w;
        w.show();
        w.BitBtn1Click();
        QCOMPARE(labelText(w, "labtitle"), QStringLiteral("2024年3月"));
        w.sbtnnowClick();
        QCOMPARE(labelText(w, "labtitle"), QStringLiteral("2024年2月"));
        QCOMPARE(w.page().request.day, 10);
        QCOMPARE(w.page().request.minute, 30);
    }

    void yearsAfter2050StartAt2050() {
        setAppClock(std::make_shared<FixedClock>(LocalDateTime{2061, 5, 3, 8, 0, 0}));
        TFrmWnl w;
        w.show();
        QCOMPARE(labelText(w, "labtitle"), QStringLiteral("2050年5月"));
    }
};

QTEST_MAIN(TestFrmWnl)
#include "TestFrmWnl.moc"
