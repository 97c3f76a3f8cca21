// "分类保存": the category list of dat/lyinit.ini, its refusals and what it hands back.
#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QtTest>

#include "TemporaryHome.h"

#include "platform/ProgramFolder.h"
#include "platform/Settings.h"
#include "ui/casebook/Untflei.h"
#include "ui/common/Untprompt.h"

using namespace qingheng;

class TestFrmFenLei : public QObject {
    Q_OBJECT

    std::unique_ptr<qingheng::testing::TemporaryHome> home;

    static void writeClasses(int count, const std::vector<std::pair<int, std::string>>& keys) {
        IniFile ini(datFile(kLyInitFile));
        ini.writeInteger("classes", "count", count);
        for (const auto& [key, name] : keys) ini.writeString("classes", std::to_string(key), name);
        QVERIFY(ini.save().ok);
    }
    static QComboBox* categoryBox(TFrmFenLei& d) { return d.findChild<QComboBox*>("CboFenLei"); }
    static QPlainTextEdit* memo(TFrmFenLei& d) { return d.findChild<QPlainTextEdit*>("Memo1"); }
    static void clickOk(TFrmFenLei& d) { d.findChild<QPushButton*>("Btnok")->click(); }

private slots:
    void init() {
        home = std::make_unique<qingheng::testing::TemporaryHome>("fenlei");
        home->useAsProgramFolder();
    }

    void emptyListStillAcceptsATypedName() {
        TFrmFenLei dialog;
        QCOMPARE(dialog.windowTitle(), QStringLiteral("分类保存"));
        QCOMPARE(categoryBox(dialog)->count(), 0);
        QCOMPARE(memo(dialog)->toPlainText(), QStringLiteral("备注:"));
        QCOMPARE(categoryBox(dialog)->lineEdit()->maxLength(), 13);
        categoryBox(dialog)->setCurrentText(QStringLiteral("  求财 "));
        memo(dialog)->setPlainText(QStringLiteral("备注:第一行\n第二行\n"));
        QSignalSpy accepted(&dialog, &QDialog::accepted);
        clickOk(dialog);
        QCOMPARE(accepted.count(), 1);
        QCOMPARE(dialog.category(), QStringLiteral("求财"));
        CaseRecord r;
        dialog.applyTo(r);
        QCOMPARE(QString::fromStdString(r.category), QStringLiteral("求财"));
        QCOMPARE(r.extra, std::string("备注:第一行\r\n第二行"));  // stored with Windows line breaks
    }

    void missingKeyListsTheDefaultCategory() {
        writeClasses(3, {{1, "财运"}, {3, "婚姻"}, {4, "不在表内"}});
        TFrmFenLei dialog;
        QComboBox* box = categoryBox(dialog);
        QCOMPARE(box->count(), 3);
        QCOMPARE(box->itemText(1), QStringLiteral("临时保存"));
        QCOMPARE(box->currentText(), QStringLiteral("财运"));
    }

    void emptyFieldsAreRefusedAndTheDialogStaysOpen() {
        ScopedScriptedPrompts script;
        TFrmFenLei dialog;
        QSignalSpy accepted(&dialog, &QDialog::accepted);
        categoryBox(dialog)->setCurrentText(QStringLiteral("   "));
        clickOk(dialog);
        QCOMPARE(script->lastText(), QStringLiteral("类别名不能为空"));
        QCOMPARE(script->shown.back().caption, QStringLiteral("错误"));
        QCOMPARE(script->shown.back().icon, PromptIcon::Stop);
        categoryBox(dialog)->setCurrentText(QStringLiteral("事业"));
        memo(dialog)->setPlainText(QStringLiteral(" \n "));
        clickOk(dialog);
        QCOMPARE(script->lastText(), QStringLiteral("附加信息不能为空"));
        QCOMPARE(accepted.count(), 0);
        QCOMPARE(categoryBox(dialog)->currentText(), QStringLiteral("事业"));  // input kept
    }

    void textTooLongOrNotStorableIsRefused() {
        ScopedScriptedPrompts script;
        TFrmFenLei dialog;
        QSignalSpy accepted(&dialog, &QDialog::accepted);
        categoryBox(dialog)->setCurrentText(QStringLiteral("七个汉字的名字"));  // 14 bytes
        clickOk(dialog);
        QCOMPARE(script->lastText(), QStringLiteral("类别太长：最多13个字节（一个汉字占两个字节）。"));
        categoryBox(dialog)->setCurrentText(QStringLiteral("财运"));
        memo(dialog)->setPlainText(QStringLiteral("笑\U0001F600"));
        clickOk(dialog);
        QVERIFY(script->lastText().startsWith(QStringLiteral("附加信息含有无法保存的字符")));
        QCOMPARE(accepted.count(), 0);
    }

    void aCategoryTypedWhileSavingJoinsTheList() {
        ScopedScriptedPrompts script;
        writeClasses(1, {{1, "财运"}});
        struct Case {
            QString typed;
            std::vector<std::string> list;  // the list afterwards
        };
        for (const Case& c :
             {Case{QStringLiteral("出行"), {"财运", "出行"}},
              {QStringLiteral("财运"), {"财运", "出行"}},              // listed already
              {QStringLiteral("六个汉字的名X"), {"财运", "出行"}}}) {  // 13 bytes: too long for the list
            TFrmFenLei dialog;
            categoryBox(dialog)->setCurrentText(c.typed);
            clickOk(dialog);
            QCOMPARE(dialog.result(), int(QDialog::Accepted));
            QCOMPARE(readCategories(IniFile(datFile(kLyInitFile)), MissingCategory::EmptyLine), c.list);
        }
    }

    void memoStopsAtTheBytesTheRecordKeeps() {
        TFrmFenLei dialog;
        memo(dialog)->setPlainText(QString(600, QChar(0x6C49)));  // 1200 bytes typed or pasted
        QCOMPARE(memo(dialog)->toPlainText(), QString(500, QChar(0x6C49)));
        // A line break is stored as two bytes.
        memo(dialog)->setPlainText(QString(499, QChar(0x6C49)) + QStringLiteral("\nab"));
        QCOMPARE(memo(dialog)->toPlainText(), QString(499, QChar(0x6C49)) + QStringLiteral("\n"));
    }

    void memoKeepsToItsLength() {
        TFrmFenLei dialog;
        memo(dialog)->setPlainText(QString(900, QLatin1Char('a')));
        QCOMPARE(memo(dialog)->toPlainText().size(), 801);
    }
};

QTEST_MAIN(TestFrmFenLei)
#include "TestFrmFenLei.moc"
