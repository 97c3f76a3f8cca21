// "排盘设置": shows dat/set.ini, writes it on "设置" only, reports a failed write.
#include <QButtonGroup>
#include <QCheckBox>
#include <QGroupBox>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QtTest>

#include "DialogDriver.h"
#include "TemporaryHome.h"

#include <fstream>

#include "platform/FileUtil.h"
#include "platform/ProgramFolder.h"
#include "platform/Settings.h"
#include "ui/casebook/Untset.h"
#include "ui/common/Untprompt.h"

using namespace qingheng;
using qingheng::testing::click;

class TestFrmSet : public QObject {
    Q_OBJECT

    std::unique_ptr<qingheng::testing::TemporaryHome> home;

    static QRadioButton* item(TFrmSet& dialog, const char* group, int index) {
        return dialog.findChild<QGroupBox*>(group)->findChildren<QRadioButton*>().at(index);
    }

private slots:
    void init() {
        home = std::make_unique<qingheng::testing::TemporaryHome>("frmset");
        home->useAsProgramFolder();
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
        QVERIFY(!std::filesystem::exists(home->dat()));
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
        std::ofstream(home->dat()) << "a file where the folder belongs";
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
