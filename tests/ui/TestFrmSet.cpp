// "排盘设置": shows dat/set.ini, writes it on "设置" only, reports a failed write.
#include <QButtonGroup>
#include <QCheckBox>
#include <QGroupBox>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

#include <fstream>

#include "platform/FileUtil.h"
#include "platform/ProgramFolder.h"
#include "platform/Settings.h"
#include "ui/casebook/Untset.h"
#include "ui/common/Untprompt.h"

using namespace qingheng;

class TestFrmSet : public QObject {
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> home;

    static QRadioButton* item(TFrmSet& dialog, const char* group, int index) {
        return dialog.findChild<QGroupBox*>(group)->findChildren<QRadioButton*>().at(index);
    }
    static void click(TFrmSet& dialog, const char* button) { dialog.findChild<QPushButton*>(button)->click(); }

private slots:
    void init() {
        home = std::make_unique<QTemporaryDir>();
        setProgramFolder(home->path().toStdString());
    }

    void missingFileShowsTheDefaults() {
        TFrmSet dialog;
        QCOMPARE(dialog.windowTitle(), QStringLiteral("排盘设置"));
        QVERIFY(item(dialog, "GrpQianGua", 0)->isChecked());
        QCOMPARE(item(dialog, "GrpQianGua", 1)->text(), QStringLiteral("从午起"));
        QVERIFY(!dialog.findChild<QCheckBox*>("ChkNaGan")->isChecked());
        QVERIFY(item(dialog, "GrpTimeGua", 0)->isChecked());
        QCOMPARE(item(dialog, "GrpTimeGua", 1)->text(), QStringLiteral("月份以农历定"));
    }

    void okWritesEveryOptionAndCreatesTheDatFolder() {
        QVERIFY(!QDir(home->filePath("dat")).exists());
        TFrmSet dialog;
        item(dialog, "GrpQianGua", 1)->setChecked(true);
        dialog.findChild<QCheckBox*>("ChkNaGan")->setChecked(true);
        item(dialog, "GrpTimeGua", 1)->setChecked(true);
        QSignalSpy accepted(&dialog, &QDialog::accepted);
        click(dialog, "Btnok");
        QCOMPARE(accepted.count(), 1);
        const ChartSettings s = readChartSettings();
        QCOMPARE(s.qiangua, 1);
        QVERIFY(s.nagan);
        QCOMPARE(s.timegua, 1);

        TFrmSet again;  // shows what was stored
        QVERIFY(item(again, "GrpQianGua", 1)->isChecked());
        QVERIFY(again.findChild<QCheckBox*>("ChkNaGan")->isChecked());
        item(again, "GrpQianGua", 0)->setChecked(true);
        click(again, "Btncancel");
        QCOMPARE(readChartSettings().qiangua, 1);  // cancel writes nothing
    }

    void failedWriteIsShownAndTheDialogStaysOpen() {
        std::ofstream(home->filePath("dat").toStdString()) << "a file where the folder belongs";
        ScopedScriptedPrompts script;
        TFrmSet dialog;
        QSignalSpy accepted(&dialog, &QDialog::accepted);
        click(dialog, "Btnok");
        QCOMPARE(accepted.count(), 0);
        QCOMPARE(script->shown.size(), std::size_t(1));
        QCOMPARE(script->shown[0].caption, QStringLiteral("错误"));
        QCOMPARE(script->shown[0].icon, PromptIcon::Stop);
    }
};

QTEST_MAIN(TestFrmSet)
#include "TestFrmSet.moc"
