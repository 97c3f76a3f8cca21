#include <QtTest>

#include <QAbstractTextDocumentLayout>
#include <QApplication>
#include <QComboBox>
#include <QDesktopServices>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QSplitter>
#include <QTabWidget>
#include <QTextBlock>
#include <QTextLayout>
#include <QToolButton>
#include <QTreeView>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <functional>

#include "DialogDriver.h"
#include "MainWindowFixture.h"
#include "platform/Clock.h"
#include "platform/IniFile.h"
#include "platform/ProgramFolder.h"
#include "platform/Rtf.h"
#include "ui/common/Untprompt.h"
#include "ui/main/Untmain.h"
#include "ui/main/Untpanefile.h"
#include "ui/main/Untreportpane.h"

using namespace qingheng;
using qingheng::testing::caseListRows;
using qingheng::testing::caseListText;
using qingheng::testing::castByNumber;
using qingheng::testing::child;
using qingheng::testing::click;
using qingheng::testing::inModalDialog;
using qingheng::testing::MainWindowHome;
using qingheng::testing::onNextDialog;
using qingheng::testing::onNextPopup;
using qingheng::testing::saveAsNewCase;
using qingheng::testing::screenshot;
using qingheng::testing::selectCaseRow;
using qingheng::testing::showAndWait;
using qingheng::testing::TemporaryHome;
using qingheng::testing::typeText;
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

// Casts 12 by number and saves it as a new case (id 0) through the category dialog.
void castAndSaveNumberCase(TFrmMain& w, ScriptedPrompts& script) {
    QVERIFY(castByNumber(w, script, QStringLiteral("12")));
    saveAsNewCase(w, QStringLiteral("财运"));
}

// Saves a number-cast case and opens it again from the list, as the case on view.
void openSavedNumberCase(TFrmMain& w, ScriptedPrompts& script) {
    castAndSaveNumberCase(w, script);
    selectCaseRow(w, 0);
    w.openCase();
}

// Types a note at the end of the six-lines pane, as a user does.
void typeNote(TFrmMain& w, const QString& note) {
    auto* pane = w.findChild<TReportPane*>("Redtliuyao");
    pane->moveCursor(QTextCursor::End);
    pane->insertPlainText(note);
}

bool wasShown(const ScriptedPrompts& script, const QString& text) {
    return std::any_of(script.shown.begin(), script.shown.end(), [&](const ShownPrompt& p) { return p.text == text; });
}

std::string fileText(const fs::path& path) {
    const auto doc = loadRtfOrTextFile(path, nullptr);
    return doc ? doc->plainText() : std::string("(missing)");
}

// Records the URLs the program asks the desktop to open, instead of opening them.
class UrlCatcher : public QObject {
    Q_OBJECT
public:
    UrlCatcher() { QDesktopServices::setUrlHandler(QStringLiteral("file"), this, "open"); }
    ~UrlCatcher() override { QDesktopServices::unsetUrlHandler(QStringLiteral("file")); }
    QList<QUrl> urls;
public slots:
    void open(const QUrl& url) { urls << url; }
};

// A menu item of the window by its text, in whichever menu it is.
QAction* menuItemAnywhere(const QMainWindow& w, const QString& text) {
    for (QAction* action : w.findChildren<QAction*>()) {
        if (action->text() == text) return action;
    }
    return nullptr;
}

// The x extent of the widest of the first rows of a pane and the bottom of the last of them.
QRectF firstRowsExtent(TReportPane* pane, int rows) {
    QRectF extent;
    QTextBlock block = pane->document()->firstBlock();
    for (int i = 0; i < rows && block.isValid(); ++i, block = block.next()) {
        const QRectF r = pane->document()->documentLayout()->blockBoundingRect(block);
        extent = extent.united(QRectF(r.left(), r.top(), block.layout()->lineAt(0).naturalTextWidth(), r.height()));
    }
    return extent;
}

}  // namespace

class TestFrmMain : public QObject {
    Q_OBJECT

    std::unique_ptr<MainWindowHome> temporaryHome_;
    fs::path home_;

private slots:
    void init() {
        temporaryHome_ = std::make_unique<MainWindowHome>("main");
        home_ = temporaryHome_->path();
    }

    void cleanup() { temporaryHome_.reset(); }

    void startsWithTheDefaultsOfAFirstRun() {
        TFrmMain w;
        QVERIFY(showAndWait(w));
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
        QVERIFY(showAndWait(w));

        QVERIFY(castByNumber(w, *script, QStringLiteral("12")));
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
        saveAsNewCase(w, QStringLiteral("财运"), QStringLiteral("备注:测试"));
        auto* list = w.findChild<QTreeView*>("ListView1");
        QCOMPARE(caseListRows(w), 1);
        QCOMPARE(caseListText(w, 0, 0), QStringLiteral("某人"));
        QCOMPARE(caseListText(w, 0, 1), QStringLiteral("公2024-2-10"));
        QCOMPARE(caseListText(w, 0, 2), QStringLiteral("财运"));
        QCOMPARE(caseListText(w, 0, 4), QStringLiteral("0"));
        QVERIFY(fs::exists(home_ / "liuyao_f" / "0.rtf"));
        QVERIFY(fs::exists(home_ / "liuyao_f" / "0m.rtf"));

        // Opening shows the stored report, not a rebuilt one.
        StyledDocument stored;
        stored.runs.push_back({"存档的文本\n", TextStyle{}});
        QVERIFY(saveRtfFile(home_ / "liuyao_f" / "0.rtf", stored).ok);
        selectCaseRow(w, 0);
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
        selectCaseRow(w, 0);
        w.editCase();
        QCOMPARE(caseListText(w, 0, 0), QStringLiteral("张三"));
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
        QCOMPARE(caseListRows(w), 1);

        // Deleting the case on view asks twice and returns to new-case mode.
        script->questionAnswers.push_back(true);
        script->questionAnswers.push_back(true);
        selectCaseRow(w, 0);
        w.deleteCase();
        QCOMPARE(caseListRows(w), 0);
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
        QVERIFY(showAndWait(w));
        QVERIFY(castByNumber(w, *script, QStringLiteral("12")));  // 乾 over 兑, 天泽履
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
        QVERIFY(showAndWait(w));
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
            QVERIFY(showAndWait(w));
            w.castByListItem(12);  // 随机起卦
            QVERIFY(w.chartValid());
            saveAsNewCase(w, QStringLiteral("临时保存"));
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
        QVERIFY(showAndWait(w));
        QCOMPARE(caseListRows(w), 0);
        script->questionAnswers.push_back(true);
        script->fileAnswers.push_back({QString::fromStdString((backup / "liuyao0.dat").string()), 0});
        w.importHistory();
        // The empty book the restart created is not kept.
        QCOMPARE(script->lastText(), QStringLiteral("成功导入，请重启软件！"));
        QVERIFY(!fs::exists(home_ / "dat" / "replaced-20240210-093000-2"));
        TFrmMain again;
        QVERIFY(showAndWait(again));
        QCOMPARE(caseListRows(again), 1);
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
            QVERIFY(showAndWait(w));
            QCOMPARE(w.findChild<TReportPane*>("Redtmeihua")->reportFontSize(), 14);
            QVERIFY(w.findChild<QTreeView*>("ListView1")->width() >= 30);
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
        QVERIFY(showAndWait(w));
        QVERIFY(castByNumber(w, *script, QStringLiteral("12")));
        const fs::path pdf = home_ / "chart.pdf";
        script->questionAnswers.push_back(true);
        script->printAnswers.push_back(QString::fromStdString(pdf.string()));
        printPane(&w, *w.findChild<TReportPane*>("Redtliuyao"));
        QVERIFY(fs::exists(pdf));
        QVERIFY(fs::file_size(pdf) > 1000);
    }

    // ---- edits and the case on view

    void castingWhileAnOpenedCaseHasEditsSavesThemFirst() {
        ScopedScriptedPrompts script;
        TFrmMain w;
        QVERIFY(showAndWait(w));
        openSavedNumberCase(w, *script);
        typeNote(w, QStringLiteral("我的批注"));
        script->questionAnswers = {true, true};  // 当前卦例文本已改变，要保存吗？ 确定要修改…？
        w.findChild<QToolButton*>("Btobg")->click();
        QVERIFY(!wasShown(*script, QStringLiteral("请先排一个正确的盘后再保存")));
        QVERIFY(wasShown(*script, QStringLiteral("已保存编辑后的文本。")));
        QVERIFY(fileText(home_ / "liuyao_f" / "0.rtf").find("我的批注") != std::string::npos);
        QVERIFY(w.chartValid());
    }

    void afterAWipeOrARestoreNothingOldIsSavedIntoTheNewBook() {
        ScopedScriptedPrompts script;
        const fs::path backup = home_ / "backup";
        fs::create_directories(backup);
        {
            TFrmMain w;
            QVERIFY(showAndWait(w));
            castAndSaveNumberCase(w, *script);
            script->folderAnswers.push_back(QString::fromStdString(backup.string()));
            w.exportHistory();
            selectCaseRow(w, 0);
            w.openCase();
            typeNote(w, QStringLiteral("旧书的批注"));
            script->questionAnswers = {true, true};  // both wipe questions
            w.clearHistory();                        // it closes the window
            QVERIFY(!w.existingMode());
            QVERIFY(!w.chartValid());
            QCOMPARE(caseListRows(w), 0);
            QVERIFY(w.findChild<TReportPane*>("Redtliuyao")->toPlainText().isEmpty());
            QVERIFY(!wasShown(*script, QStringLiteral("当前卦例文本已改变，要保存吗？")));
            QVERIFY(!fs::exists(home_ / "liuyao_f" / "0.rtf"));
            QVERIFY(!w.isVisible());
        }
        const std::string restoredReport = fileText(backup / "liuyao_f" / "0.rtf");
        TFrmMain w;
        QVERIFY(showAndWait(w));
        castAndSaveNumberCase(w, *script);  // a case of the wiped book's successor
        selectCaseRow(w, 0);
        w.openCase();
        typeNote(w, QStringLiteral("不该存进恢复的书"));
        script->questionAnswers = {true};
        script->fileAnswers.push_back({QString::fromStdString((backup / "liuyao0.dat").string()), 0});
        script->shown.clear();
        w.importHistory();
        QVERIFY(!wasShown(*script, QStringLiteral("当前卦例文本已改变，要保存吗？")));
        QVERIFY(!w.isVisible());
        QCOMPARE(fileText(home_ / "liuyao_f" / "0.rtf"), restoredReport);
        QVERIFY(!fs::exists(home_ / "liuyao_f" / "1.rtf"));
    }

    void anOpenedNumberCaseKeepsItsInputAndMethodWhenCastAgain() {
        ScopedScriptedPrompts script;
        TFrmMain w;
        QVERIFY(showAndWait(w));
        castAndSaveNumberCase(w, *script);
        fs::remove(home_ / "liuyao_f" / "0.rtf");  // the report is rebuilt on opening
        auto* methods = w.findChild<QComboBox*>("CboQiGua");
        methods->setCurrentIndex(0);
        selectCaseRow(w, 0);
        w.openCase();
        QCOMPARE(methods->currentText(), QStringLiteral("数字起卦"));
        const std::string rows = "起卦方式：数字起卦   占问事宜：关心的事情\n数字：12\n总数：3，上卦数：1，下卦数：2\n";
        QVERIFY(paneText(w, "Redtliuyao").find(rows) != std::string::npos);
        w.findChild<QToolButton*>("Btobg")->click();
        QVERIFY(paneText(w, "Redtliuyao").find(rows) != std::string::npos);
        script->questionAnswers = {true};
        QVERIFY(w.saveCase());
        QVERIFY(fileText(home_ / "liuyao_f" / "0.rtf").find("总数：3，上卦数：1，下卦数：2") != std::string::npos);
    }

    void closingWithTypedNotesAsksAndCancelKeepsTheWindowOpen() {
        ScopedScriptedPrompts script;
        TFrmMain w;
        QVERIFY(showAndWait(w));
        script->inputAnswers.push_back(QStringLiteral("12"));
        w.castByListItem(6);  // a new chart, not saved
        typeNote(w, QStringLiteral("新卦的批注"));
        QVERIFY(!w.close());  // no answer scripted: 取消
        QVERIFY(w.isVisible());
        QCOMPARE(script->shown.back().kind, QStringLiteral("choice"));
        QCOMPARE(script->shown.back().text, QStringLiteral("当前卦例文本已改变，要保存吗？"));

        // 是 on a new chart saves it as a new case; a cancelled category dialog keeps the window.
        script->choiceAnswers = {Answer::Yes};
        onNextDialog([](QWidget* dialog) { dialog->findChild<QPushButton*>("Btncancel")->click(); });
        QVERIFY(!w.close());
        QVERIFY(w.isVisible());

        script->choiceAnswers = {Answer::No};
        QVERIFY(w.close());
        QVERIFY(!fs::exists(home_ / "liuyao_f" / "0.rtf"));
    }

    void closingAnOpenedCaseWithEditsSavesOnYes() {
        ScopedScriptedPrompts script;
        TFrmMain w;
        QVERIFY(showAndWait(w));
        openSavedNumberCase(w, *script);
        typeNote(w, QStringLiteral("关窗前的批注"));
        script->choiceAnswers = {Answer::Yes};
        script->questionAnswers = {true};  // 确定要修改…？
        QVERIFY(w.close());
        QVERIFY(fileText(home_ / "liuyao_f" / "0.rtf").find("关窗前的批注") != std::string::npos);
    }

    // ---- fonts

    void theFontDialogStartsFromTheDrawnFontAndASizeChangeKeepsTheName() {
        ScopedScriptedPrompts script;
        TFrmMain w;
        QVERIFY(showAndWait(w));
        auto* pane = w.findChild<TReportPane*>("Redtliuyao");
        const QString drawn = pane->drawnFontFamily();
        QVERIFY(drawn.startsWith(QStringLiteral("AR PL UMing")));
        QFont bigger(drawn);
        bigger.setPointSize(16);
        script->fontAnswers.push_back(bigger);
        w.chooseReportFont();
        QCOMPARE(script->shown.front().kind, QStringLiteral("font"));
        QCOMPARE(script->shown.front().text, drawn);
        for (const char* name : {"Redtliuyao", "Redtmeihua"}) {
            QCOMPARE(w.findChild<TReportPane*>(name)->reportFontFamily(), QStringLiteral("宋体"));
            QCOMPARE(w.findChild<TReportPane*>(name)->reportFontSize(), 16);
        }
        script->fontAnswers.push_back(QFont(QStringLiteral("DejaVu Sans Mono"), 11));
        w.chooseReportFont();
        QCOMPARE(pane->reportFontFamily(), QStringLiteral("DejaVu Sans Mono"));
        QCOMPARE(pane->reportFontSize(), 11);
    }

    void settingSelectedTextOffersAFontAndAColour() {
        ScopedScriptedPrompts script;
        TFrmMain w;
        QVERIFY(showAndWait(w));
        script->inputAnswers.push_back(QStringLiteral("12"));
        w.castByListItem(6);
        auto* pane = w.findChild<TReportPane*>("Redtliuyao");
        QTextCursor cursor(pane->document());
        cursor.movePosition(QTextCursor::NextCharacter, QTextCursor::KeepAnchor, 3);  // 求测人
        pane->setTextCursor(cursor);
        script->fontAnswers.push_back(QFont(pane->drawnFontFamily(), 20));
        script->colorAnswers.push_back(QColor(200, 0, 0));
        onNextPopup([](QMenu* menu) {
            for (QAction* action : menu->actions()) {
                if (action->text() == QStringLiteral("设置选中文字")) action->trigger();
            }
            menu->close();
        });
        emit pane->customContextMenuRequested(QPoint(5, 5));
        QTextCursor first(pane->document());
        first.movePosition(QTextCursor::NextCharacter);
        QCOMPARE(first.charFormat().foreground().color(), QColor(200, 0, 0));
        QCOMPARE(qRound(first.charFormat().fontPointSize()), 20);
    }

    // ---- the first window

    void aFirstStartShowsAWholeChartOnScreen() {
        ScopedScriptedPrompts script;
        TFrmMain w;
        QVERIFY(showAndWait(w));
        QVERIFY(w.screen()->availableGeometry().contains(w.frameGeometry()));
        QVERIFY(w.width() > 400 && w.height() > 400);
        script->inputAnswers.push_back(QStringLiteral("12"));
        w.castByListItem(6);
        auto* pane = w.findChild<TReportPane*>("Redtliuyao");
        // Header, pillars and the six lines with the blank rows between them: 21 rows.
        const QRectF chart = firstRowsExtent(pane, 21);
        QVERIFY2(chart.right() <= pane->viewport()->width(),
                 qPrintable(QStringLiteral("%1 > %2").arg(chart.right()).arg(pane->viewport()->width())));
        QVERIFY2(chart.bottom() <= pane->viewport()->height(),
                 qPrintable(QStringLiteral("%1 > %2").arg(chart.bottom()).arg(pane->viewport()->height())));
        auto* name = w.findChild<QLineEdit*>("Edtname");
        QVERIFY(name->width() >= name->fontMetrics().horizontalAdvance(QStringLiteral("某人某人某")));
        screenshot(&w, "main_first_start");
    }

    void theDateColumnHoldsTheLongestDate() {
        TFrmMain w;
        auto* list = w.findChild<QTreeView*>("ListView1");
        QVERIFY(list->columnWidth(1) >= list->fontMetrics().horizontalAdvance(QStringLiteral("农闰2050-12-30")) + 8);
    }

    void storedGeometryWinsAndTheThirtyPixelMinimumApplies() {
        {
            IniFile ini(datFile("lyinit.ini"));
            ini.writeInteger("winpos", "left", -300);  // partly off the screen
            ini.writeInteger("winpos", "top", 20);
            ini.writeInteger("winpos", "width", 700);
            ini.writeInteger("winpos", "height", 450);
            ini.writeInteger("winpos", "listwid", 0);
            ini.writeInteger("winpos", "meowid", 31);
            QVERIFY(ini.save().ok);
        }
        {
            TFrmMain w;
            QVERIFY(showAndWait(w));
            QCOMPARE(w.size(), QSize(700, 450));
            QVERIFY(w.screen()->availableGeometry().contains(w.frameGeometry()));
            const QList<int> sizes = w.findChild<QSplitter*>()->sizes();
            QCOMPARE(sizes.value(0), 30);
            QCOMPARE(sizes.value(2), 31);
            w.close();
        }
        const IniFile written(datFile("lyinit.ini"));
        QCOMPARE(written.readInteger("winpos", "listwid", 0), 30);
        QCOMPARE(written.readInteger("winpos", "meowid", 0), 31);
        QCOMPARE(written.readInteger("winpos", "width", 0), 700);
        QCOMPARE(written.readInteger("winpos", "height", 0), 450);
        QCOMPARE(written.readInteger("winpos", "top", 0), 20);
    }

    // ---- text boxes and help

    void textBoxesStopTakingInputAtTheirByteLimit() {
        TFrmMain w;
        QVERIFY(showAndWait(w));
        struct Case {
            const char* box;
            QString typed, kept;
        };
        for (const Case& c : {Case{"Edtname", QStringLiteral("十个汉字的求测人名字"), QStringLiteral("十个汉字的")},
                              {"Edtname", QStringLiteral("张三abcdefgh"), QStringLiteral("张三abcdef")},
                              {"Cbolei", QString(30, QChar(0x95EE)), QString(20, QChar(0x95EE))}}) {
            auto* edit = w.findChild<QLineEdit*>(c.box);
            edit->clear();
            typeText(edit, c.typed);
            QCOMPARE(edit->text(), c.kept);
        }
        // Typed in the middle, the end stays and the typing stops.
        auto* name = w.findChild<QLineEdit*>("Edtname");
        name->setText(QStringLiteral("张三李四"));
        name->setCursorPosition(2);
        typeText(name, QStringLiteral("王五"));
        QCOMPARE(name->text(), QStringLiteral("张三王李四"));
    }

    // The guide is looked for beside the shipped data (share/qingheng/help when installed).
    void missingHelpFilesAreReported() {
        const fs::path share = home_ / "share" / "qingheng";
        fs::create_directories(share / "dat");
        setHome({home_, HomeReason::Option, share / "dat"});
        ScopedScriptedPrompts script;
        UrlCatcher opened;
        TFrmMain w;
        QVERIFY(showAndWait(w));
        for (const QString& item : {QStringLiteral("软件帮助"), QStringLiteral("相关资料")}) {
            QAction* action = menuItemAnywhere(w, item);
            QVERIFY(action);
            action->trigger();
        }
        QVERIFY(opened.urls.isEmpty());
        QCOMPARE(script->shown.size(), size_t(2));
        const QString guide = QString::fromStdString((share / "help" / "index.html").string());
        const QString knowledge = QString::fromStdString((home_ / "dat" / "lyzs.chm").string());
        QCOMPARE(script->shown[0].text, QStringLiteral("找不到帮助文件“%1”。").arg(guide));
        QCOMPARE(script->shown[1].text, QStringLiteral("找不到帮助文件“%1”。").arg(knowledge));
    }

    void theUserGuideOpensInTheDesktopsBrowser() {
        const fs::path share = home_ / "share" / "qingheng";
        fs::create_directories(share / "dat");
        fs::create_directories(share / "help");
        std::ofstream(share / "help" / "index.html") << "<html></html>";
        setHome({home_, HomeReason::Option, share / "dat"});
        ScopedScriptedPrompts script;
        UrlCatcher opened;
        TFrmMain w;
        QVERIFY(showAndWait(w));
        menuItemAnywhere(w, QStringLiteral("软件帮助"))->trigger();
        QCOMPARE(opened.urls,
                 QList<QUrl>{QUrl::fromLocalFile(QString::fromStdString((share / "help" / "index.html").string()))});
        QVERIFY(script->shown.empty());
    }

    void aboutShowsTheVersionAndTheLicence() {
        TFrmMain w;
        QVERIFY(showAndWait(w));
        QString version, licence;
        QVERIFY(inModalDialog([&] { menuItemAnywhere(w, QStringLiteral("关于"))->trigger(); },
                              [&](QWidget* dialog) {
                                  version = child<QLabel>(dialog, "LblVersion")->text();
                                  licence = child<QLabel>(dialog, "LblLicence")->text();
                                  screenshot(dialog, "about");
                                  click(dialog, "Btnok");
                              }));
        QVERIFY2(QRegularExpression(QStringLiteral("^版本 3\\.3\\.\\d+$")).match(version).hasMatch(),
                 qPrintable(version));
        QVERIFY2(licence.contains(QStringLiteral("MIT")), qPrintable(licence));
        QCOMPARE(w.windowTitle(), QStringLiteral("青衡六爻V3.3"));
    }

    void useGodRightClickShowsHowTheUseGodIsTaken() {
        ScopedScriptedPrompts script;
        TFrmMain w;
        QVERIFY(showAndWait(w));
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
