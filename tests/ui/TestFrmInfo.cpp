// "卦例信息": shows a record, edits a copy, refuses bad input in order.
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QSpinBox>
#include <QtTest>

#include "DialogDriver.h"
#include "TemporaryHome.h"

#include "platform/ProgramFolder.h"
#include "ui/casebook/Untinfo.h"
#include "ui/common/Untdatelists.h"
#include "ui/common/Untprompt.h"

using namespace qingheng;
using qingheng::testing::child;

class TestFrmInfo : public QObject {
    Q_OBJECT

    std::unique_ptr<qingheng::testing::TemporaryHome> home;

    static CaseRecord sample() {
        CaseRecord r;
        r.id = 5;
        r.name = "张三";
        r.category = "不在列表的类";
        r.year = 2024;
        r.month = 2;
        r.day = 31;  // kept as chosen even though the month lacks it
        r.hour = 23;
        r.minute = 59;
        r.lunar = true;
        r.leap = true;
        r.question = "问财";
        r.useGod = 3;
        r.extra = "备注:一\r\n二";
        r.mainCode = "123412";
        r.label = "铜钱摇卦";
        return r;
    }
    static void clickSave(TFrmInfo& d) { child<QPushButton>(d, "Btnsave")->click(); }

private slots:
    void init() {
        home = std::make_unique<qingheng::testing::TemporaryHome>("frminfo");
        home->useAsProgramFolder();
    }

    void textBoxesStopAtTheBytesTheRecordKeeps() {
        TFrmInfo dialog(sample());
        struct Case {
            QLineEdit* box;
            QString typed, kept;
        };
        for (const Case& c :
             {Case{child<QLineEdit>(dialog, "Edtname"), QStringLiteral("六个汉字名字"), QStringLiteral("六个汉字名")},
              {child<QComboBox>(dialog, "CboFenLei")->lineEdit(), QStringLiteral("七个汉字的类别"),
               QStringLiteral("七个汉字的类")},
              {child<QComboBox>(dialog, "CboEvent")->lineEdit(), QString(25, QChar(0x95EE)),
               QString(20, QChar(0x95EE))}}) {
            c.box->clear();
            qingheng::testing::typeText(c.box, c.typed);
            QCOMPARE(c.box->text(), c.kept);
        }
        child<QPlainTextEdit>(dialog, "Memo1")->setPlainText(QString(600, QChar(0x6C49)));
        QCOMPARE(child<QPlainTextEdit>(dialog, "Memo1")->toPlainText(), QString(500, QChar(0x6C49)));
    }

    void hourItemsNameTheDoubleHour() {
        QCOMPARE(hourItemText(0), QStringLiteral("0时子"));
        QCOMPARE(hourItemText(1), QStringLiteral("1时丑"));
        QCOMPARE(hourItemText(2), QStringLiteral("2时丑"));
        QCOMPARE(hourItemText(3), QStringLiteral("3时寅"));
        QCOMPARE(hourItemText(22), QStringLiteral("22时亥"));
        QCOMPARE(hourItemText(23), QStringLiteral("23时子"));
    }

    void controlsShowTheRecord() {
        TFrmInfo dialog(sample());
        QCOMPARE(dialog.windowTitle(), QStringLiteral("卦例信息"));
        QCOMPARE(child<QLineEdit>(dialog, "Edtname")->text(), QStringLiteral("张三"));
        QCOMPARE(child<QLineEdit>(dialog, "EdtYear")->text(), QStringLiteral("2024"));
        QCOMPARE(child<QSpinBox>(dialog, "UpDyear")->value(), 124);
        QCOMPARE(child<QComboBox>(dialog, "cbom")->currentText(), QStringLiteral("2月"));
        QCOMPARE(child<QComboBox>(dialog, "cbod")->currentText(), QStringLiteral("31日"));
        QCOMPARE(child<QComboBox>(dialog, "cbos")->count(), 24);
        QCOMPARE(child<QComboBox>(dialog, "cbos")->currentText(), QStringLiteral("23时子"));
        QCOMPARE(child<QComboBox>(dialog, "cbomin")->currentText(), QStringLiteral("59分"));
        QVERIFY(child<QRadioButton>(dialog, "Rdonl")->isChecked());
        QVERIFY(!child<QRadioButton>(dialog, "Rdogl")->isChecked());
        QVERIFY(child<QCheckBox>(dialog, "Chkrun")->isChecked());
        QCOMPARE(child<QComboBox>(dialog, "CboFenLei")->currentText(), QStringLiteral("不在列表的类"));
        QCOMPARE(child<QComboBox>(dialog, "CboEvent")->currentText(), QStringLiteral("问财"));
        QCOMPARE(child<QComboBox>(dialog, "lstqu")->currentText(), QStringLiteral("官鬼"));
        QCOMPARE(child<QPlainTextEdit>(dialog, "Memo1")->toPlainText(), QStringLiteral("备注:一\n二"));

        child<QSpinBox>(dialog, "UpDyear")->setValue(100);
        QCOMPARE(child<QLineEdit>(dialog, "EdtYear")->text(), QStringLiteral("2000"));
    }

    void saveAsksFirstAndRefusesInOrder() {
        ScopedScriptedPrompts script;
        TFrmInfo dialog(sample());
        QSignalSpy accepted(&dialog, &QDialog::accepted);

        clickSave(dialog);  // answered No
        QCOMPARE(script->shown.back().text, QStringLiteral("确定要保存修改吗？"));
        QCOMPARE(script->shown.back().kind, QStringLiteral("question"));
        QCOMPARE(script->shown.size(), std::size_t(1));

        child<QLineEdit>(dialog, "Edtname")->clear();
        script->questionAnswers = {true};
        clickSave(dialog);
        QCOMPARE(script->lastText(), QStringLiteral("姓名不能为空"));
        QCOMPARE(script->shown.back().caption, QStringLiteral("提示"));

        child<QLineEdit>(dialog, "Edtname")->setText(QStringLiteral("李四"));
        child<QLineEdit>(dialog, "EdtYear")->setText(QStringLiteral("1899"));
        script->questionAnswers = {true};
        clickSave(dialog);
        QCOMPARE(script->lastText(), QStringLiteral("年份必须在1900到2050年之间"));
        QCOMPARE(script->shown.back().caption, QStringLiteral("年份错误"));
        QCOMPARE(script->shown.back().icon, PromptIcon::Warning);

        // Fields before a later refusal reach the copy, not the caller's file.
        child<QLineEdit>(dialog, "EdtYear")->setText(QStringLiteral("2001"));
        child<QPlainTextEdit>(dialog, "Memo1")->clear();
        script->questionAnswers = {true};
        clickSave(dialog);
        QCOMPARE(script->lastText(), QStringLiteral("附加信息不能为空"));
        QCOMPARE(dialog.record().year, 2001);
        QCOMPARE(dialog.record().name, std::string("李四"));

        child<QPlainTextEdit>(dialog, "Memo1")->setPlainText(QStringLiteral("新备注"));
        child<QComboBox>(dialog, "CboFenLei")->setCurrentText(QString());
        script->questionAnswers = {true};
        clickSave(dialog);
        QCOMPARE(script->lastText(), QStringLiteral("类别不能为空"));

        child<QComboBox>(dialog, "CboFenLei")->setCurrentText(QStringLiteral("事业"));
        child<QComboBox>(dialog, "CboEvent")->setCurrentText(QString());
        script->questionAnswers = {true};
        clickSave(dialog);
        QCOMPARE(script->lastText(), QStringLiteral("占问事宜不能为空"));
        QCOMPARE(accepted.count(), 0);

        child<QComboBox>(dialog, "CboEvent")->setCurrentText(QStringLiteral("问事业"));
        child<QRadioButton>(dialog, "Rdogl")->setChecked(true);
        child<QComboBox>(dialog, "cbos")->setCurrentIndex(0);
        child<QComboBox>(dialog, "lstqu")->setCurrentIndex(4);
        script->questionAnswers = {true};
        clickSave(dialog);
        QCOMPARE(accepted.count(), 1);
        const CaseRecord& r = dialog.record();
        QCOMPARE(r.category, std::string("事业"));
        QCOMPARE(r.question, std::string("问事业"));
        QCOMPARE(r.extra, std::string("新备注"));
        QVERIFY(!r.lunar);
        QCOMPARE(r.hour, 0);
        QCOMPARE(r.day, 31);
        QCOMPARE(r.useGod, 4u);
        QCOMPARE(r.label, std::string("铜钱摇卦"));  // not editable here
        QCOMPARE(r.id, 5u);
    }

    void textThatCannotBeStoredIsRefused() {
        ScopedScriptedPrompts script;
        TFrmInfo dialog(sample());
        QSignalSpy accepted(&dialog, &QDialog::accepted);
        child<QLineEdit>(dialog, "Edtname")->setText(QStringLiteral("六个汉字太长"));
        script->questionAnswers = {true};
        clickSave(dialog);
        QCOMPARE(script->lastText(), QStringLiteral("求测人太长：最多10个字节（一个汉字占两个字节）。"));
        QCOMPARE(dialog.record().name, std::string("张三"));
        QCOMPARE(accepted.count(), 0);
    }
};

QTEST_MAIN(TestFrmInfo)
#include "TestFrmInfo.moc"
