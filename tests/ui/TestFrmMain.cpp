#include <QtTest>

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QToolButton>
#include <QTreeWidget>

#include <filesystem>

#include "DialogDriver.h"
#include "TemporaryHome.h"
#include "platform/Clock.h"
#include "platform/IniFile.h"
#include "platform/ProgramFolder.h"
#include "platform/Rtf.h"
#include "ui/common/Untprompt.h"
#include "ui/main/Untmain.h"
#include "ui/main/Untpanefile.h"
#include "ui/main/Untreportpane.h"

using namespace qingheng;
using qingheng::testing::onNextDialog;
using qingheng::testing::screenshot;
using qingheng::testing::TemporaryHome;
namespace fs = std::filesystem;

namespace {

std::string paneText(TFrmMain& w, const char* name) {
    return w.findChild<TReportPane*>(name)->toPlainText().toStdString();
}

bool hasRun(const StyledDocument& doc, const std::string& start, Rgb color) {
    for (const StyledRun& run : doc.runs) {
        if (run.text.rfind(start, 0) == 0 && run.style.color == color) return true;
    }
    return false;
}

void selectRow(TFrmMain& w, int row) {
    auto* list = w.findChild<QTreeWidget*>("ListView1");
    list->clearSelection();
    if (row >= 0) list->topLevelItem(row)->setSelected(true);
}

}  // namespace

class TestFrmMain : public QObject {
    Q_OBJECT

    std::unique_ptr<TemporaryHome> temporaryHome_;
    fs::path home_;

private slots:
    void init() {
        temporaryHome_ = std::make_unique<TemporaryHome>("main");
        temporaryHome_->withDatFolder().useAsProgramFolder();
        home_ = temporaryHome_->path();
        setAppClock(std::make_shared<FixedClock>(LocalDateTime{2024, 2, 10, 9, 30, 0}));
        installReportFontSubstitutes();
    }

    void cleanup() {
        setAppClock(std::make_shared<SystemClock>());
        temporaryHome_.reset();
    }

    void startsWithTheDefaultsOfAFirstRun() {
        TFrmMain w;
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        QCOMPARE(w.windowTitle(), QStringLiteral("青衡六爻V3.3"));
        QCOMPARE(w.findChild<QComboBox*>("CboQiGua")->count(), 14);
        QCOMPARE(w.findChild<QComboBox*>("CboQiGua")->itemText(6), QStringLiteral("数字起卦"));
        QCOMPARE(w.findChild<QComboBox*>("lstqu")->currentText(), QStringLiteral("兄弟"));
        QCOMPARE(w.findChild<QToolButton*>("SbtoSave")->text(), QStringLiteral("存新"));
        QCOMPARE(int(w.castingTime().year), 2024);
        QCOMPARE(int(w.castingTime().hour), 9);
        QVERIFY(fs::exists(home_ / "dat" / "liuyao0.dat"));
        QVERIFY(!w.chartValid());
    }

    // One user session: cast, save, list, open, edit, search, delete.
    void aWholeCaseSession() {
        ScopedScriptedPrompts script;
        TFrmMain w;
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));

        script->inputAnswers.push_back(QStringLiteral("12"));
        w.castByListItem(6);  // 数字起卦
        QVERIFY(w.chartValid());
        const std::string chart = paneText(w, "Redtliuyao");
        QVERIFY(chart.find("起卦方式：数字起卦   占问事宜：关心的事情\n数字：12\n总数：3，上卦数：1，下卦数：2\n") !=
                std::string::npos);
        QVERIFY(chart.find("起卦公历：2024年2月10日9时30分(北京时间)。") != std::string::npos);
        QVERIFY(paneText(w, "Redtmeihua").find("【主卦】") != std::string::npos);
        const StyledDocument doc = w.findChild<TReportPane*>("Redtliuyao")->styledDocument();
        QVERIFY(hasRun(doc, "干支", kBlue));
        QVERIFY(hasRun(doc, "主变卦", kRed));
        screenshot(&w, "main_after_number_cast");

        // Save as a new case: the category dialog is answered.
        onNextDialog([](QWidget* dialog) {
            dialog->findChild<QComboBox*>("CboFenLei")->setCurrentText(QStringLiteral("财运"));
            dialog->findChild<QPlainTextEdit*>("Memo1")->setPlainText(QStringLiteral("备注:测试"));
            dialog->findChild<QPushButton*>("Btnok")->click();
        });
        w.saveCase();
        auto* list = w.findChild<QTreeWidget*>("ListView1");
        QCOMPARE(list->topLevelItemCount(), 1);
        QCOMPARE(list->topLevelItem(0)->text(0), QStringLiteral("某人"));
        QCOMPARE(list->topLevelItem(0)->text(1), QStringLiteral("公2024-2-10"));
        QCOMPARE(list->topLevelItem(0)->text(2), QStringLiteral("财运"));
        QCOMPARE(list->topLevelItem(0)->text(4), QStringLiteral("0"));
        QVERIFY(fs::exists(home_ / "liuyao_f" / "0.rtf"));
        QVERIFY(fs::exists(home_ / "liuyao_f" / "0m.rtf"));

        // Opening shows the stored report, not a rebuilt one.
        StyledDocument stored;
        stored.runs.push_back({"存档的文本\n", TextStyle{}});
        QVERIFY(saveRtfFile(home_ / "liuyao_f" / "0.rtf", stored).ok);
        selectRow(w, 0);
        w.openCase();
        QVERIFY(w.existingMode());
        QCOMPARE(w.findChild<QToolButton*>("SbtoSave")->text(), QStringLiteral("存旧"));
        QCOMPARE(paneText(w, "Redtliuyao"), std::string("存档的文本\n"));
        QVERIFY(w.chartValid());

        // Editing the case on view changes the window's record too: a later save keeps it.
        script->questionAnswers.push_back(true);  // 确定要保存修改吗？
        onNextDialog([](QWidget* dialog) {
            dialog->findChild<QLineEdit*>("Edtname")->setText(QStringLiteral("张三"));
            dialog->findChild<QPushButton*>("Btnsave")->click();
        });
        selectRow(w, 0);
        w.editCase();
        QCOMPARE(list->topLevelItem(0)->text(0), QStringLiteral("张三"));
        QCOMPARE(w.currentRecord().name, std::string("张三"));
        script->questionAnswers.push_back(true);  // 确定要修改…这条记录吗？
        w.saveCase();
        CaseRecord reread;
        QVERIFY(w.store().readCase(0, reread).live());
        QCOMPARE(reread.name, std::string("张三"));
        QCOMPARE(reread.category, std::string("财运"));

        // Search by name through the search dialog.
        w.fillCaseList({});
        script->questionAnswers.push_back(true);  // 共找到1条记录…
        onNextDialog([](QWidget* dialog) {
            dialog->findChild<QLineEdit*>("Edtname")->setText(QStringLiteral("张"));
            dialog->findChild<QPushButton*>("BtnSearch")->click();
        });
        for (QAction* action : list->actions()) {
            if (action->text() == QStringLiteral("查找卦例")) action->trigger();
        }
        QCOMPARE(list->topLevelItemCount(), 1);

        // Deleting the case on view asks twice and returns to new-case mode.
        script->questionAnswers.push_back(true);
        script->questionAnswers.push_back(true);
        selectRow(w, 0);
        w.deleteCase();
        QCOMPARE(list->topLevelItemCount(), 0);
        QVERIFY(!w.existingMode());
        QVERIFY(!w.chartValid());
        QVERIFY(!fs::exists(home_ / "liuyao_f" / "0.rtf"));
        QVERIFY(!w.store().readCase(0, reread).live());
        const auto& asked = script->shown;
        QVERIFY(std::any_of(asked.begin(), asked.end(), [](const ShownPrompt& p) {
            return p.text == QStringLiteral("确定要删除\"张三\"这个卦例吗？") && p.defaultAnswer == DefaultAnswer::No;
        }));
    }

    void castShowsTheClassicTextsInBothPanes() {
        ScopedScriptedPrompts script;
        TFrmMain w;
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        script->inputAnswers.push_back(QStringLiteral("12"));
        w.castByListItem(6);  // 数字起卦: 乾 over 兑, 天泽履
        QVERIFY(w.chartValid());
        for (const char* name : {"Redtliuyao", "Redtmeihua"}) {
            const std::string text = paneText(w, name);
            QVERIFY2(text.find("易经卦爻辞(原文)：\n◆天泽履:履虎尾") != std::string::npos, name);
            QVERIFY2(text.find("\n六十四金钱课：\n主卦断：") != std::string::npos, name);
            const StyledDocument doc = w.findChild<TReportPane*>(name)->styledDocument();
            // The pane reads each title back as a run with the line break after it.
            for (const std::string title : {"易经卦爻辞(原文)：", "易经卦爻辞(白话)：", "六十四金钱课："}) {
                QVERIFY2(std::any_of(doc.runs.begin(), doc.runs.end(),
                                     [&](const StyledRun& run) {
                                         return (run.text == title || run.text == title + "\n") &&
                                                run.style.color == kBlue && run.style.bold;
                                     }),
                         title.c_str());
            }
        }
    }

    void refusalsChangeNothing() {
        ScopedScriptedPrompts script;
        TFrmMain w;
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        w.saveCase();
        QCOMPARE(script->lastText(), QStringLiteral("请先排一个正确的盘后再保存"));
        w.deleteCase();
        QCOMPARE(script->lastText(), QStringLiteral("请先选择一个卦例。"));
        w.findChild<QLineEdit*>("Edtname")->clear();
        w.castAndShow();
        QCOMPARE(script->lastText(), QStringLiteral("姓名或占问事宜不能为空"));
        QVERIFY(!w.chartValid());
        w.findChild<QLineEdit*>("Edtname")->setText(QStringLiteral("😀"));
        w.castAndShow();
        QVERIFY(!w.chartValid());
        QVERIFY(paneText(w, "Redtliuyao").empty());
        w.castByListItem(7);  // a spacer casts nothing
        QVERIFY(!w.chartValid());
    }

    void backupAndRestoreIntoAPrivateFolder() {
        ScopedScriptedPrompts script;
        const fs::path backup = home_ / "backup";
        fs::create_directories(backup);
        {
            TFrmMain w;
            w.show();
            QVERIFY(QTest::qWaitForWindowExposed(&w));
            w.castByListItem(12);  // 随机起卦
            QVERIFY(w.chartValid());
            onNextDialog([](QWidget* dialog) {
                dialog->findChild<QComboBox*>("CboFenLei")->setCurrentText(QStringLiteral("临时保存"));
                dialog->findChild<QPushButton*>("Btnok")->click();
            });
            w.saveCase();
            script->folderAnswers.push_back(QString::fromStdString(backup.string()));
            w.exportHistory();
            QVERIFY(script->lastText().startsWith(QStringLiteral("成功导出，已保存到")));
            QVERIFY(fs::exists(backup / "liuyao0.dat"));
            QVERIFY(fs::exists(backup / "liuyao_f" / "0.rtf"));

            script->questionAnswers.push_back(true);
            script->questionAnswers.push_back(true);
            w.clearHistory();
            // The wiped book waits in a dated folder under dat; the message names it.
            const QString replaced = QString::fromStdString((home_ / "dat" / "replaced-20240210-093000").string());
            QCOMPARE(script->lastText(), QStringLiteral("清除完成,请重启软件。\n原有的卦例已移到 ") + replaced +
                                             QStringLiteral("，需要时可从那里导入。"));
            QVERIFY(fs::exists(home_ / "dat" / "replaced-20240210-093000" / "liuyao0.dat"));
            QVERIFY(fs::exists(home_ / "dat" / "replaced-20240210-093000" / "liuyao_f" / "0.rtf"));
        }
        TFrmMain w;
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        QCOMPARE(w.findChild<QTreeWidget*>("ListView1")->topLevelItemCount(), 0);
        script->questionAnswers.push_back(true);
        script->fileAnswers.push_back({QString::fromStdString((backup / "liuyao0.dat").string()), 0});
        w.importHistory();
        // The empty book the restart created is not kept.
        QCOMPARE(script->lastText(), QStringLiteral("成功导入，请重启软件！"));
        QVERIFY(!fs::exists(home_ / "dat" / "replaced-20240210-093000-2"));
        TFrmMain again;
        again.show();
        QVERIFY(QTest::qWaitForWindowExposed(&again));
        QCOMPARE(again.findChild<QTreeWidget*>("ListView1")->topLevelItemCount(), 1);
    }

    void windowSettingsAreWrittenOnCloseAndAppliedOnStart() {
        {
            IniFile ini(datFile("lyinit.ini"));
            ini.writeInteger("winpos", "listwid", 0);
            ini.writeInteger("minggao", "fsize", 14);
            ini.writeString("classes", "count", "1");
            ini.writeString("classes", "1", "财运");
            QVERIFY(ini.save().ok);
        }
        {
            TFrmMain w;
            w.show();
            QVERIFY(QTest::qWaitForWindowExposed(&w));
            QCOMPARE(w.findChild<TReportPane*>("Redtmeihua")->reportFontSize(), 14);
            QVERIFY(w.findChild<QTreeWidget*>("ListView1")->width() >= 30);
            w.close();
        }
        const IniFile written(datFile("lyinit.ini"));
        QCOMPARE(written.readInteger("minggao", "fsize", 0), 14);
        QCOMPARE(written.readString("minggao", "fname", ""), std::string("宋体"));
        QCOMPARE(written.readInteger("minggao", "bcolor", 0), 12635344);
        QVERIFY(written.readInteger("winpos", "listwid", 0) >= 30);
        QCOMPARE(written.readString("classes", "1", ""), std::string("财运"));  // kept, not overwritten
    }

    void printsAPaneToPdf() {
        ScopedScriptedPrompts script;
        TFrmMain w;
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        script->inputAnswers.push_back(QStringLiteral("12"));
        w.castByListItem(6);
        const fs::path pdf = home_ / "chart.pdf";
        script->questionAnswers.push_back(true);
        script->printAnswers.push_back(QString::fromStdString(pdf.string()));
        printPane(&w, *w.findChild<TReportPane*>("Redtliuyao"));
        QVERIFY(fs::exists(pdf));
        QVERIFY(fs::file_size(pdf) > 1000);
    }

    void useGodRightClickShowsHowTheUseGodIsTaken() {
        ScopedScriptedPrompts script;
        TFrmMain w;
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        auto* lstqu = w.findChild<QComboBox*>("lstqu");
        lstqu->setCurrentIndex(2);
        QContextMenuEvent event(QContextMenuEvent::Mouse, QPoint(2, 2), lstqu->mapToGlobal(QPoint(2, 2)));
        QApplication::sendEvent(lstqu, &event);
        QCOMPARE(script->shown.back().caption, QStringLiteral("用神取法"));
        QVERIFY(script->lastText().startsWith(QStringLiteral("凡是妻妾、兄嫂弟媳")));
    }
};

QTEST_MAIN(TestFrmMain)
#include "TestFrmMain.moc"
