#include <QtTest>

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QToolButton>

#include "ScopedClock.h"
#include "platform/Clock.h"
#include "ui/calendar/Unttime.h"
#include "ui/common/Untdatelists.h"
#include "ui/common/Untprompt.h"

using namespace qingheng;

class TestFrmTime : public QObject {
    Q_OBJECT

    static CastingTime sample() { return CastingTime{2024, 2, 10, 9, 30, 0, 0}; }

private slots:
    void listsReadAsTheDialogsWriteThem() {
        QComboBox m, d, h, n;
        fillDateLists(&m, &d, &h, &n);
        QCOMPARE(m.count(), 12);
        QCOMPARE(d.count(), 31);
        QCOMPARE(h.count(), 24);
        QCOMPARE(n.count(), 60);
        QCOMPARE(m.itemText(0), QStringLiteral("1月"));
        QCOMPARE(d.itemText(30), QStringLiteral("31日"));
        QCOMPARE(h.itemText(0), QStringLiteral("0时子"));
        QCOMPARE(h.itemText(1), QStringLiteral("1时丑"));
        QCOMPARE(h.itemText(4), QStringLiteral("4时寅"));
        QCOMPARE(h.itemText(22), QStringLiteral("22时亥"));
        QCOMPARE(h.itemText(23), QStringLiteral("23时子"));
        QCOMPARE(n.itemText(59), QStringLiteral("59分"));
    }

    void acceptsTheRangeEndsAndWritesEveryField() {
        for (int year : {1900, 2050}) {
            ScopedScriptedPrompts script;
            CastingTime time = sample();
            TFrmTime dialog(time);
            dialog.findChild<QLineEdit*>("Edtyear")->setText(QString::number(year));
            dialog.findChild<QRadioButton*>("Rdonl")->setChecked(true);
            dialog.findChild<QCheckBox*>("Chkrun")->setChecked(true);
            dialog.findChild<QComboBox*>("cbom")->setCurrentIndex(3);
            dialog.findChild<QComboBox*>("cbod")->setCurrentIndex(29);
            dialog.findChild<QComboBox*>("cbos")->setCurrentIndex(23);
            dialog.findChild<QComboBox*>("cbomin")->setCurrentIndex(5);
            dialog.findChild<QPushButton*>("Btnok")->click();
            QCOMPARE(dialog.result(), int(QDialog::Accepted));
            QVERIFY(script->shown.empty());
            QCOMPARE(int(time.year), year);
            QCOMPARE(int(time.month), 4);
            QCOMPARE(int(time.day), 30);
            QCOMPARE(int(time.hour), 23);
            QCOMPARE(int(time.minute), 5);
            QCOMPARE(int(time.lunar), 1);
            QCOMPARE(int(time.leap), 1);
        }
    }

    void refusesYearsOutsideTheRangeAndStaysOpen() {
        for (const QString& text : {QStringLiteral("1899"), QStringLiteral("2051"), QStringLiteral("abcd")}) {
            ScopedScriptedPrompts script;
            CastingTime time = sample();
            TFrmTime dialog(time);
            dialog.show();
            dialog.findChild<QLineEdit*>("Edtyear")->setText(text);
            dialog.findChild<QPushButton*>("Btnok")->click();
            QVERIFY(dialog.isVisible());
            QCOMPARE(script->shown.size(), size_t(1));
            QCOMPARE(script->shown[0].text, QStringLiteral("起卦年份在 1900-2050之间,请重新输入！"));
            QCOMPARE(script->shown[0].caption, QStringLiteral("时间错误"));
            QCOMPARE(script->shown[0].icon, PromptIcon::Stop);
            QCOMPARE(int(time.year), 2024);
            QCOMPARE(dialog.findChild<QLineEdit*>("Edtyear")->text(), text);
        }
    }

    void leapWithGregorianIsStoredUnchangedAndCancelChangesNothing() {
        CastingTime time = sample();
        {
            TFrmTime dialog(time);
            dialog.findChild<QCheckBox*>("Chkrun")->setChecked(true);
            dialog.findChild<QPushButton*>("Btnok")->click();
        }
        QCOMPARE(int(time.leap), 1);
        QCOMPARE(int(time.lunar), 0);
        const CastingTime before = time;
        {
            TFrmTime dialog(time);
            dialog.findChild<QLineEdit*>("Edtyear")->setText("1999");
            dialog.findChild<QPushButton*>("BitBtn1")->click();
            QCOMPARE(dialog.result(), int(QDialog::Rejected));
        }
        QCOMPARE(int(time.year), int(before.year));
    }

    void nowButtonTakesTheClockCappedAt2050() {
        const qingheng::testing::ScopedClock clock({2061, 7, 8, 21, 45, 0});
        CastingTime time{2000, 1, 1, 0, 0, 1, 1};
        TFrmTime dialog(time);
        dialog.findChild<QToolButton*>("SpeedButton1")->click();
        QCOMPARE(dialog.findChild<QLineEdit*>("Edtyear")->text(), QStringLiteral("2050"));
        QCOMPARE(dialog.findChild<QSpinBox*>("Updyear")->value(), 150);
        QVERIFY(dialog.findChild<QRadioButton*>("Rdogl")->isChecked());
        QVERIFY(!dialog.findChild<QCheckBox*>("Chkrun")->isChecked());
        QCOMPARE(dialog.findChild<QComboBox*>("cbos")->currentIndex(), 21);
        dialog.findChild<QSpinBox*>("Updyear")->setValue(100);
        QCOMPARE(dialog.findChild<QLineEdit*>("Edtyear")->text(), QStringLiteral("2000"));
    }
};

QTEST_MAIN(TestFrmTime)
#include "TestFrmTime.moc"
