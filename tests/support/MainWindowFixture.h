#pragma once
// The main window in tests: a private program folder at a fixed "now", and the steps most
// window tests start with (show the window, cast a chart, answer the category dialog).
#include <QComboBox>
#include <QItemSelectionModel>
#include <QPlainTextEdit>
#include <QTest>
#include <QTreeView>

#include <filesystem>
#include <string_view>

#include "DialogDriver.h"
#include "ScopedClock.h"
#include "TemporaryHome.h"
#include "ui/common/Untprompt.h"
#include "ui/main/Untmain.h"
#include "ui/main/Untreportpane.h"

namespace qingheng::testing {

// 2024-02-10 09:30: 甲辰年 丙寅月 甲辰日 己巳时, void 寅 卯.
inline constexpr LocalDateTime kMainWindowNow{2024, 2, 10, 9, 30, 0};

// A private program folder with its dat folder, "now" fixed at kMainWindowNow and the report
// font's stand-ins installed; removed again at the end. Add shipped files with withShippedFiles.
class MainWindowHome : public TemporaryHome {
public:
    explicit MainWindowHome(std::string_view label) : TemporaryHome(label) {
        withDatFolder().useAsProgramFolder();
        installReportFontSubstitutes();
    }

private:
    ScopedClock clock_{kMainWindowNow};
};

// Shows a window and waits until it is on screen (the main window starts up on its first showing).
[[nodiscard]] inline bool showAndWait(QWidget& window) {
    window.show();
    return QTest::qWaitForWindowExposed(&window);
}

// Item 6 of the casting-method list: 数字起卦, which asks for the digits in an input box.
inline constexpr int kCastByNumberItem = 6;

// Casts by number with digits as the answer of the scripted input box; true when the chart shows.
// "12" gives 天泽履 changing to 乾为天.
[[nodiscard]] inline bool castByNumber(TFrmMain& window, ScriptedPrompts& script, const QString& digits) {
    script.inputAnswers.push_back(digits);
    window.castByListItem(kCastByNumberItem);
    return window.chartValid();
}

// Saves the chart on view as a new case, answering the category dialog with a category (and
// the extra text, when given).
inline void saveAsNewCase(TFrmMain& window, const QString& category, const QString& extra = {}) {
    onNextDialog([category, extra](QWidget* dialog) {
        child<QComboBox>(dialog, "CboFenLei")->setCurrentText(category);
        if (!extra.isEmpty()) child<QPlainTextEdit>(dialog, "Memo1")->setPlainText(extra);
        click(dialog, "Btnok");
    });
    window.saveCase();
}

// Selects one row of the case list (none for -1).
inline void selectCaseRow(TFrmMain& window, int row) {
    auto* list = child<QTreeView>(window, "ListView1");
    list->clearSelection();
    if (row >= 0)
        list->selectionModel()->select(list->model()->index(row, 0),
                                       QItemSelectionModel::Select | QItemSelectionModel::Rows);
}

// Rows in the case list, and the text of one of its cells (columns 求测人, 日期, 类别, 占问事宜, ID).
inline int caseListRows(const TFrmMain& window) { return child<QTreeView>(window, "ListView1")->model()->rowCount(); }
inline QString caseListText(const TFrmMain& window, int row, int column) {
    const QAbstractItemModel* model = child<QTreeView>(window, "ListView1")->model();
    return model->index(row, column).data().toString();
}

// The text of the side pane (MeoDec), where 解释 and the topic buttons write.
inline QString sidePaneText(const TFrmMain& window) { return child<QPlainTextEdit>(window, "MeoDec")->toPlainText(); }

}  // namespace qingheng::testing
