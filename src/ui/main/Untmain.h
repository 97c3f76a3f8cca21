#pragma once
// TFrmMain: the workstation's main window. Its controls edit the case on view (CaseOnView:
// who asks, what is asked, the casting time, the use god and the cast); it hands the case to
// the chart engine, shows the two reports, and saves, lists, opens, edits and deletes cases
// in the case book.
#include <QMainWindow>
#include <QPointer>

#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <vector>

#include "calendar/Yidate.h"
#include "casebook/CaseOnView.h"
#include "casebook/CaseRecord.h"
#include "casebook/Database.h"
#include "casting/Casting.h"
#include "casting/TimeCasting.h"
#include "chart/Liuyaoex.h"
#include "platform/Settings.h"
#include "topics/Liuyaoex2.h"

class QAction;
class QComboBox;
class QHBoxLayout;
class QLineEdit;
class QPlainTextEdit;
class QSplitter;
class QTabWidget;
class QTimer;
class QToolButton;
class QTreeView;

namespace qingheng {

class CaseListFeed;
class CaseListModel;
class TFrmDuanYu;
class TFrmWnl;
class TReportPane;
class TFrmZhouYi;

class TFrmMain : public QMainWindow {
    Q_OBJECT
public:
    explicit TFrmMain(QWidget* parent = nullptr);
    ~TFrmMain() override;

    // The case workflow, as the buttons, menus and casting methods call it.
    void castAndShow();
    // False when nothing was saved (refused, cancelled or failed).
    bool saveCase();
    void openCase();
    void deleteCase();
    void editCase();
    void newCase();
    // Lists the live cases among ids in their order: the first rows at once, the rest in
    // batches while the window goes on answering.
    void fillCaseList(std::vector<std::uint32_t> ids);
    // "显示全部卦例": every live case, or a message saying why there is none.
    void showAllCases();
    // Casts by list item 2k (method k); spacer items do nothing.
    void castByListItem(int item);
    // Takes over a finished cast and shows its chart.
    void takeCast(const CastResult& cast);
    // The judgement of a topic over the chart on view into the side pane (Unttopics.cpp).
    void topicJudgement(Topic topic);

    // Case book files.
    void exportHistory();
    void importHistory();
    void clearHistory();

    // Report settings of both panes.
    void defaultReportLook();
    void chooseReportFont();
    void chooseReportBackground();

    // Reference tools (Untreference.cpp): the calendar and the phrase book are single modeless
    // windows brought forward while open; the others are modal, created for each use.
    void openCalendar();
    void openPhraseBook();
    void openHeLuo();
    void openHourLesson();
    void openLots();
    void openZaZhan();
    void openStrokeEditor();

    // What tests and the closing sequence read.
    bool chartValid() const { return case_.chartValid(); }
    bool existingMode() const { return case_.existing(); }
    std::uint32_t currentId() const { return case_.id(); }
    const CaseRecord& currentRecord() const { return case_.record(); }
    const CastingTime& castingTime() const { return case_.castingTime(); }
    CastingTime& castingTime() { return case_.castingTime(); }
    const CLiuYaoEx& engine() const { return *engine_; }
    MDataBase& store() { return store_; }

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildControls();
    // The eight topic buttons (财运 … 婚姻) of parent, appended to row (Unttopics.cpp).
    void buildTopicButtons(QWidget* parent, QHBoxLayout* row);
    void buildMenus();
    void buildListMenu();
    void buildPaneMenu(TReportPane* pane);
    // Ctrl+E: 导出图片 of the pane on view, also an item of both panes' menus.
    void buildPictureShortcut();
    TReportPane& paneOnView() const;
    void startUp();
    void applyWindowSettings();
    // A first start: a size that shows a whole chart, centred on the screen.
    void fitFirstStart(WindowSettings& settings);
    // Sizes the inside and places the frame at left and top, all of it on the screen.
    void placeOnScreen(const QRect& stored);
    QMargins frameMargins() const;
    void writeWindowSettings();

    // Asks to save edited reports of the opened case; Yes saves them.
    void offerToSaveEdits();
    // The closing question, with 取消; false when the window is to stay open.
    bool offerToSaveBeforeClosing();
    // After a restore or a wipe: no case on view, empty panes and list.
    void forgetCaseOnView();
    bool panesModified() const;
    void setPanesUnmodified();
    void setSaveButtonMode(bool existing);
    void showReports();
    // Assembles the case on view and, when writeReports, shows the reports; false after the
    // engine's message.
    bool assembleCase(bool writeReports);
    void showCaseTexts();
    bool saveReportFiles(std::uint32_t id);
    // Both panes as the report files a save stores with the record; false after a message.
    bool paneReports(CaseReports& reports);
    void showStatusFailure(const Status& status);

    // The id of the selected row; nullopt (after "请先选择一个卦例。" when nothing is
    // selected) when there is none.
    std::optional<std::uint32_t> selectedCaseId();

    void showLineHint(int row, bool leftHalf);
    void showUseGodText();
    void explainActiveTab();
    void chooseCastingTime();
    void setSelectedTextFont(TReportPane* pane);
    // Opens a help file with the desktop's program for it, or says that it is missing.
    void openHelpFile(const std::filesystem::path& path);
    // The Zhou Yi reader: created on first use, otherwise brought forward.
    void showZhouYiReader();

    // Controls, under the names the tests and the settings files know them by.
    QLineEdit* Edtname = nullptr;
    QLineEdit* Cbolei = nullptr;
    QComboBox* lstqu = nullptr;
    QToolButton* SpeedButton1 = nullptr;
    QToolButton* SbtoSave = nullptr;
    QToolButton* Btobg = nullptr;
    QComboBox* CboQiGua = nullptr;
    QToolButton* BtoNewGua = nullptr;
    QToolButton* SpeedButton2 = nullptr;
    QTreeView* ListView1 = nullptr;
    CaseListModel* caseList_ = nullptr;
    CaseListFeed* caseFeed_ = nullptr;
    QTabWidget* Page1 = nullptr;
    TReportPane* Redtliuyao = nullptr;
    TReportPane* Redtmeihua = nullptr;
    QPlainTextEdit* MeoDec = nullptr;
    QSplitter* splitter_ = nullptr;
    QTimer* hintTimer_ = nullptr;
    QAction* exportPicture_ = nullptr;
    QPointer<TFrmZhouYi> zhouYi_;  // cleared when the reader closes

    QPointer<TFrmWnl> wnl_;
    QPointer<TFrmDuanYu> duanyu_;

    std::unique_ptr<CLiuYaoEx> engine_;
    MDataBase store_;
    bool storeOpen_ = false;
    bool started_ = false;

    CaseOnView case_;
    TimeCastingEntry timeEntry_;
    CaseQuery query_;
};

}  // namespace qingheng
