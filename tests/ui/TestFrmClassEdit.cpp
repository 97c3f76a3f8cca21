// "类别编辑": the category list as lines, refused lines by number, writes on success only.
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QtTest>

#include "TemporaryHome.h"

#include "platform/FileUtil.h"
#include "platform/ProgramFolder.h"
#include "platform/Settings.h"
#include "ui/casebook/Untcedit.h"
#include "ui/common/Untprompt.h"

using namespace qingheng;

class TestFrmClassEdit : public QObject {
    Q_OBJECT

    std::unique_ptr<qingheng::testing::TemporaryHome> home;

    static QPlainTextEdit* memo(TFrmClassEdit& d) { return d.findChild<QPlainTextEdit*>("Memo1"); }
    static void clickSave(TFrmClassEdit& d) { d.findChild<QPushButton*>("Btnsave")->click(); }
    static std::string iniBytes() { return readFileBytes(datFile(kLyInitFile)).value_or(""); }

private slots:
    void init() {
        home = std::make_unique<qingheng::testing::TemporaryHome>("classedit");
        home->useAsProgramFolder();
        IniFile ini(datFile(kLyInitFile));
        ini.writeInteger("classes", "count", 3);
        ini.writeString("classes", "1", "财运");
        ini.writeString("classes", "3", "婚姻");
        QVERIFY(ini.save().ok);
    }

    void missingKeyShowsAnEmptyLineThatBlocksSaving() {
        ScopedScriptedPrompts script;
        TFrmClassEdit dialog;
        QCOMPARE(dialog.windowTitle(), QStringLiteral("类别编辑"));
        QCOMPARE(memo(dialog)->toPlainText(), QStringLiteral("财运\n\n婚姻\n"));
        const std::string before = iniBytes();
        clickSave(dialog);
        QCOMPARE(script->lastText(), QStringLiteral("第2行类别名不合规定，不能加入。"));
        QCOMPARE(iniBytes(), before);
    }

    void longNameIsRefusedWithItsLineNumber() {
        ScopedScriptedPrompts script;
        TFrmClassEdit dialog;
        memo(dialog)->setPlainText(QStringLiteral("财运\n六个字的类别\n七个汉字的类别\n"));
        const std::string before = iniBytes();
        clickSave(dialog);
        QCOMPARE(script->lastText(), QStringLiteral("第3行类别名不合规定，不能加入。"));
        QCOMPARE(iniBytes(), before);
    }

    void aRefusalPutsTheCaretBackOnTheLineToMend() {
        ScopedScriptedPrompts script;
        TFrmClassEdit dialog;
        dialog.show();
        QVERIFY(QTest::qWaitForWindowActive(&dialog));
        memo(dialog)->setPlainText(QStringLiteral("财运\n七个汉字的类别\n婚姻\n"));
        dialog.findChild<QPushButton*>("Btnsave")->setFocus();
        clickSave(dialog);
        QCOMPARE(script->lastText(), QStringLiteral("第2行类别名不合规定，不能加入。"));
        QCOMPARE(QApplication::focusWidget(), memo(dialog));
        QCOMPARE(memo(dialog)->textCursor().blockNumber(), 1);
    }

    void emptyMemoIsRefused() {
        ScopedScriptedPrompts script;
        TFrmClassEdit dialog;
        memo(dialog)->clear();
        clickSave(dialog);
        QCOMPARE(script->lastText(), QStringLiteral("类别不能为空"));
    }

    void acceptedLinesAreWrittenTrimmedInOrder() {
        TFrmClassEdit dialog;
        memo(dialog)->setPlainText(QStringLiteral("  出行 \n六个字的类别\n健康"));
        QSignalSpy accepted(&dialog, &QDialog::accepted);
        clickSave(dialog);
        QCOMPARE(accepted.count(), 1);
        const IniFile ini(datFile(kLyInitFile));
        const auto names = readCategories(ini, MissingCategory::EmptyLine);
        QCOMPARE(names, (std::vector<std::string>{"出行", "六个字的类别", "健康"}));
        QCOMPARE(ini.readInteger("classes", "count", -1), 3);
    }

    void cancelWritesNothing() {
        TFrmClassEdit dialog;
        memo(dialog)->setPlainText(QStringLiteral("别的"));
        const std::string before = iniBytes();
        dialog.findChild<QPushButton*>("Btncancel")->click();
        QCOMPARE(iniBytes(), before);
    }
};

QTEST_MAIN(TestFrmClassEdit)
#include "TestFrmClassEdit.moc"
