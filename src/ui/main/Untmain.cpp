#include "ui/main/Untmain.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QDesktopServices>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QScreen>
#include <QSplitter>
#include <QStyle>
#include <QTabWidget>
#include <QTextCursor>
#include <QTextDocument>
#include <QTimer>
#include <QToolButton>
#include <QToolTip>
#include <QTreeView>
#include <QUrl>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>
#include <filesystem>

#include "platform/Clock.h"
#include "platform/IniFile.h"
#include "platform/ProgramFolder.h"
#include "platform/Rtf.h"
#include "platform/Settings.h"
#include "platform/StringTable.h"
#include "ui/calendar/Unttime.h"
#include "ui/casebook/Untcedit.h"
#include "ui/casebook/Untflei.h"
#include "ui/casebook/Untinfo.h"
#include "ui/casebook/Untsearch.h"
#include "ui/casebook/Untset.h"
#include "ui/casting/Untcastinput.h"
#include "ui/common/Untprompt.h"
#include "ui/common/Unttext.h"
#include "ui/main/Untabout.h"
#include "ui/main/Untcaselist.h"
#include "ui/main/Untpanefile.h"
#include "ui/main/Untreportpane.h"
#include "ui/reference/Untzhouy.h"

namespace qingheng {
namespace {

constexpr int kListCellPadding = 12;  // the list's margins around a cell's text
constexpr int kStartupSlots = 300;
constexpr int kUseGodTexts = 6600;
const QColor kExistingModeColor(0, 0, 255);
const QString kEditedReportsQuestion = QStringLiteral("当前卦例文本已改变，要保存吗？");

QString caseDate(const CaseRecord& r) { return QString::fromStdString(caseDateText(r)); }

// The line naming where a restore or a wipe moved the book it replaced.
QString replacedNoteText(const std::filesystem::path& movedTo) {
    return movedTo.empty() ? QString() : QStringLiteral("\n") + QString::fromStdString(replacedBookNote(movedTo));
}

QToolButton* makeButton(QWidget* parent, const char* name, const QString& text, const QString& tip = {}) {
    auto* button = new QToolButton(parent);
    button->setObjectName(name);
    button->setText(text);
    button->setToolTip(tip);
    return button;
}

}  // namespace

TFrmMain::TFrmMain(QWidget* parent) : QMainWindow(parent), engine_(std::make_unique<CLiuYaoEx>()) {
    setObjectName("FrmMain");
    setWindowTitle(QStringLiteral("青衡六爻V3.3"));
    buildControls();
    buildMenus();
    buildListMenu();
    buildPictureShortcut();
    buildPaneMenu(Redtliuyao);
    buildPaneMenu(Redtmeihua);
    setSaveButtonMode(false);
}

TFrmMain::~TFrmMain() = default;

// ---------------------------------------------------------------- building the window

void TFrmMain::buildControls() {
    auto* central = new QWidget(this);
    auto* column = new QVBoxLayout(central);

    auto* top = new QHBoxLayout;
    Edtname = new QLineEdit(QStringLiteral("某人"), central);
    Edtname->setObjectName("Edtname");
    Edtname->setMaxLength(10);
    limitEditBytes(Edtname, caseFieldInfo(CaseField::Name).maxBytes);
    Cbolei = new QLineEdit(QStringLiteral("关心的事情"), central);
    Cbolei->setObjectName("Cbolei");
    Cbolei->setMaxLength(40);
    limitEditBytes(Cbolei, caseFieldInfo(CaseField::Question).maxBytes);
    lstqu = new QComboBox(central);
    lstqu->setObjectName("lstqu");
    lstqu->installEventFilter(this);
    SpeedButton1 = makeButton(central, "SpeedButton1", QStringLiteral("时间"));
    SbtoSave = makeButton(central, "SbtoSave", QStringLiteral("存新"), QStringLiteral("保存卦例"));
    Btobg = makeButton(central, "Btobg", QStringLiteral("布卦"), QStringLiteral("据起卦信息再布卦"));
    CboQiGua = new QComboBox(central);
    CboQiGua->setObjectName("CboQiGua");
    CboQiGua->setToolTip(QStringLiteral("点击起卦"));
    BtoNewGua = makeButton(central, "BtoNewGua", QStringLiteral("新建"), QStringLiteral("新建卦例"));
    SpeedButton2 = makeButton(central, "SpeedButton2", QStringLiteral("解释"));

    auto labelled = [&](const QString& label, QWidget* w) {
        auto* box = new QVBoxLayout;
        box->setSpacing(1);
        box->addWidget(new QLabel(label, central));
        box->addWidget(w);
        top->addLayout(box);
    };
    // Wide enough for what each box holds: five Chinese characters, and a sentence.
    Edtname->setMinimumWidth(Edtname->fontMetrics().horizontalAdvance(QStringLiteral("某某某某某")) + 16);
    Cbolei->setMinimumWidth(Cbolei->fontMetrics().horizontalAdvance(QStringLiteral("关心的事情关心的事情")) + 16);
    labelled(QStringLiteral("求测人"), Edtname);
    labelled(QStringLiteral("占问事宜"), Cbolei);
    labelled(QStringLiteral("用神"), lstqu);
    labelled(QStringLiteral("起卦时间"), SpeedButton1);
    labelled(QStringLiteral("选择起卦方式"), CboQiGua);
    auto* buttons = new QHBoxLayout;
    for (QToolButton* b : {SbtoSave, Btobg, BtoNewGua, SpeedButton2}) buttons->addWidget(b);
    buildTopicButtons(central, buttons);
    // The buttons take a row of their own below the case's fields, so that the window fits
    // a small screen.
    top->addStretch();
    buttons->addStretch();
    column->addLayout(top);
    column->addLayout(buttons);

    ListView1 = new QTreeView(central);
    ListView1->setObjectName("ListView1");
    caseList_ = new CaseListModel(ListView1);
    ListView1->setModel(caseList_);
    caseFeed_ = new CaseListFeed(store_, *caseList_, this);
    caseFeed_->setObjectName("caseListFeed");
    connect(caseFeed_, &CaseListFeed::failed, this, [this](const QString& message) { prompts().stop(this, message); });
    const int widths[] = {70, 80, 60, 80, 5};
    for (int c = 0; c < CaseListModel::ColumnCount; ++c) ListView1->setColumnWidth(c, widths[c]);
    // The date column holds its longest text, a leap lunar date, without clipping it.
    const int dateText = ListView1->fontMetrics().horizontalAdvance(QStringLiteral("农闰2050-12-30"));
    ListView1->setColumnWidth(1, std::max(widths[1], dateText + kListCellPadding));
    ListView1->setRootIsDecorated(false);
    ListView1->setItemsExpandable(false);
    ListView1->setUniformRowHeights(true);  // a long list lays out without measuring each row
    ListView1->setSelectionBehavior(QAbstractItemView::SelectRows);
    ListView1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    ListView1->setContextMenuPolicy(Qt::ActionsContextMenu);

    Page1 = new QTabWidget(central);
    Page1->setObjectName("Page1");
    Redtliuyao = new TReportPane(Page1);
    Redtliuyao->setObjectName("Redtliuyao");
    Redtmeihua = new TReportPane(Page1);
    Redtmeihua->setObjectName("Redtmeihua");
    Page1->addTab(Redtliuyao, QStringLiteral("六爻解卦"));
    Page1->addTab(Redtmeihua, QStringLiteral("梅花解卦"));

    MeoDec = new QPlainTextEdit(central);
    MeoDec->setObjectName("MeoDec");
    QFont memoFont = MeoDec->font();
    memoFont.setPixelSize(14);
    MeoDec->setFont(memoFont);
    QPalette memoPalette = MeoDec->palette();
    memoPalette.setColor(QPalette::Text, QColor(0, 128, 0));
    MeoDec->setPalette(memoPalette);

    splitter_ = new QSplitter(Qt::Horizontal, central);
    splitter_->addWidget(ListView1);
    splitter_->addWidget(Page1);
    splitter_->addWidget(MeoDec);
    splitter_->setStretchFactor(1, 1);
    column->addWidget(splitter_, 1);
    setCentralWidget(central);

    hintTimer_ = new QTimer(this);
    hintTimer_->setSingleShot(true);
    hintTimer_->setInterval(200);
    connect(hintTimer_, &QTimer::timeout, this, [this] {
        if (!Redtliuyao->toolTip().isEmpty()) QToolTip::showText(QCursor::pos(), Redtliuyao->toolTip(), Redtliuyao);
    });

    connect(SpeedButton1, &QToolButton::clicked, this, &TFrmMain::chooseCastingTime);
    connect(SbtoSave, &QToolButton::clicked, this, &TFrmMain::saveCase);
    connect(Btobg, &QToolButton::clicked, this, &TFrmMain::castAndShow);
    connect(BtoNewGua, &QToolButton::clicked, this, &TFrmMain::newCase);
    connect(SpeedButton2, &QToolButton::clicked, this, &TFrmMain::explainActiveTab);
    connect(CboQiGua, &QComboBox::activated, this, &TFrmMain::castByListItem);
    connect(ListView1, &QTreeView::doubleClicked, this, [this] { openCase(); });
    connect(Redtliuyao, &TReportPane::lineClicked, this, &TFrmMain::showLineHint);
}

void TFrmMain::buildMenus() {
    QMenu* file = menuBar()->addMenu(QStringLiteral("文件(&F)"));
    QAction* save = file->addAction(QStringLiteral("保存卦例"), this, &TFrmMain::saveCase);
    save->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_S));
    file->addAction(QStringLiteral("导入历史记录"), this, &TFrmMain::importHistory);
    file->addAction(QStringLiteral("导出历史记录"), this, &TFrmMain::exportHistory);
    file->addAction(QStringLiteral("清除历史记录"), this, &TFrmMain::clearHistory);
    file->addSeparator();
    file->addAction(QStringLiteral("退出"), this, &QWidget::close);

    QMenu* knowledge = menuBar()->addMenu(QStringLiteral("命理知识(&S)"));
    knowledge->addAction(QStringLiteral("六爻断语"), this, &TFrmMain::openPhraseBook);
    knowledge->addAction(QStringLiteral("河洛图像"), this, &TFrmMain::openHeLuo);
    knowledge->addAction(QStringLiteral("易经卦爻辞"), this, &TFrmMain::showZhouYiReader);
    knowledge->addAction(QStringLiteral("相关资料"), this, [this] { openHelpFile(datFile("lyzs.chm")); });

    QMenu* tools = menuBar()->addMenu(QStringLiteral("辅助工具(&T)"));
    tools->addAction(QStringLiteral("六壬时课"), this, &TFrmMain::openHourLesson);
    tools->addAction(QStringLiteral("古代杂占"), this, &TFrmMain::openZaZhan);
    tools->addAction(QStringLiteral("诸葛神数"), this, &TFrmMain::openLots);
    tools->addAction(QStringLiteral("笔画数修改"), this, &TFrmMain::openStrokeEditor);
    QAction* calendar = tools->addAction(QStringLiteral("万年历"), this, &TFrmMain::openCalendar);
    calendar->setObjectName("Tmnuwnl");

    QMenu* options = menuBar()->addMenu(QStringLiteral("选项(&O)"));
    QMenu* look = options->addMenu(QStringLiteral("命稿设置"));
    look->addAction(QStringLiteral("默认"), this, &TFrmMain::defaultReportLook);
    look->addAction(QStringLiteral("字体设置"), this, &TFrmMain::chooseReportFont);
    look->addAction(QStringLiteral("背景色设置"), this, &TFrmMain::chooseReportBackground);
    options->addAction(QStringLiteral("排盘设置"), this, [this] {
        TFrmSet dialog(this);
        dialog.exec();
    });

    QMenu* help = menuBar()->addMenu(QStringLiteral("帮助(&H)"));
    help->addAction(QStringLiteral("软件帮助"), this, [this] { openHelpFile(userGuideFile()); });
    help->addAction(QStringLiteral("关于"), this, [this] {
        TFrmAbout dialog(this);
        dialog.exec();
    });
}

void TFrmMain::buildListMenu() {
    auto add = [this](const QString& text, auto slot) {
        auto* action = new QAction(text, ListView1);
        connect(action, &QAction::triggered, this, slot);
        ListView1->addAction(action);
    };
    add(QStringLiteral("查看卦像"), [this] { openCase(); });
    add(QStringLiteral("删除卦例"), [this] { deleteCase(); });
    add(QStringLiteral("编辑卦例"), [this] { editCase(); });
    add(QStringLiteral("查找卦例"), [this] {
        TFrmSearch dialog(store_, query_, this);
        if (dialog.exec() == QDialog::Accepted) fillCaseList(dialog.resultIds());
    });
    add(QStringLiteral("显示全部卦例"), [this] { showAllCases(); });
    add(QStringLiteral("编辑类别"), [this] {
        TFrmClassEdit dialog(this);
        dialog.exec();
    });
}

void TFrmMain::buildPictureShortcut() {
    // The pane on view is the one whose menu can be opened, so one window-wide Ctrl+E serves both.
    exportPicture_ = new QAction(QStringLiteral("导出图片"), this);
    exportPicture_->setObjectName("Tmnuexportpng");
    exportPicture_->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_E));
    exportPicture_->setShortcutContext(Qt::WindowShortcut);
    connect(exportPicture_, &QAction::triggered, this, [this] { savePanePicture(this, paneOnView()); });
    addAction(exportPicture_);
}

TReportPane& TFrmMain::paneOnView() const { return Page1->currentIndex() == 1 ? *Redtmeihua : *Redtliuyao; }

void TFrmMain::buildPaneMenu(TReportPane* pane) {
    pane->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(pane, &QWidget::customContextMenuRequested, this, [this, pane](const QPoint& at) {
        QMenu menu(pane);
        menu.addAction(QStringLiteral("撤销"), pane, &QTextEdit::undo);
        menu.addAction(QStringLiteral("复制"), pane, &QTextEdit::copy);
        menu.addAction(QStringLiteral("粘贴"), pane, &QTextEdit::paste);
        menu.addAction(QStringLiteral("剪切"), pane, &QTextEdit::cut);
        menu.addAction(QStringLiteral("删除"), pane, [pane] { pane->textCursor().removeSelectedText(); });
        menu.addAction(QStringLiteral("全选"), pane, &QTextEdit::selectAll);
        menu.addSeparator();
        menu.addAction(QStringLiteral("设置选中文字"), this, [this, pane] { setSelectedTextFont(pane); });
        menu.addSeparator();
        menu.addAction(QStringLiteral("导入八卦文件"), this, [this, pane] { importIntoPane(this, *pane); });
        menu.addAction(QStringLiteral("另存为"), this, [this, pane] { savePaneAs(this, *pane); });
        menu.addAction(QStringLiteral("打印卦例"), this, [this, pane] { printPane(this, *pane); });
        menu.addSeparator();
        menu.addAction(exportPicture_);
        menu.addAction(QStringLiteral("导出PDF"), this, [this, pane] { savePanePdf(this, *pane); });
        menu.exec(pane->mapToGlobal(at));
    });
}

// ---------------------------------------------------------------- start and close

void TFrmMain::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    if (!started_) {
        started_ = true;
        startUp();
    }
}

void TFrmMain::startUp() {
    applyWindowSettings();

    case_.startAtNow();
    timeEntry_ = TimeCastingEntry{};
    RememberCastingTime(timeEntry_, case_.castingTime());

    for (std::string_view name : kRelativeNames) lstqu->addItem(qstr(name));
    lstqu->setCurrentIndex(0);

    const Status opened = store_.openStore(programFolder(), kKindLiuYao);
    storeOpen_ = opened.ok;
    if (!opened) showStatusFailure(opened);

    for (std::string_view label : kCastingMethodLabels) {
        CboQiGua->addItem(qstr(label));
        CboQiGua->addItem(qstr(kMethodListSpacer));
    }

    std::vector<std::uint32_t> ids;
    for (std::uint32_t id = 0; id < kStartupSlots; ++id) ids.push_back(id);
    if (storeOpen_) fillCaseList(std::move(ids));

    seedFromClock(appRandom());
    CboQiGua->setCurrentIndex(0);
}

void TFrmMain::applyWindowSettings() {
    WindowSettings s = readWindowSettings(IniFile(datFile(kLyInitFile)));
    const QColor background(rgbFromColorRef(s.backColor).r, rgbFromColorRef(s.backColor).g,
                            rgbFromColorRef(s.backColor).b);
    for (TReportPane* pane : {Redtliuyao, Redtmeihua}) {
        pane->setReportFont(QString::fromStdString(s.fontName), s.fontSize);
        pane->setBackgroundColor(background);
    }
    // Set before the sizes: the widgets' own minimum widths would override the stored ones.
    ListView1->setMinimumWidth(lyinit::kMinPanelWidth);
    MeoDec->setMinimumWidth(lyinit::kMinPanelWidth);
    if (!s.storedGeometry) fitFirstStart(s);
    placeOnScreen(QRect(s.left, s.top, s.width, s.height));
    layout()->activate();
    const int middle = std::max(1, splitter_->width() - s.listWidth - s.memoWidth - 2 * splitter_->handleWidth());
    splitter_->setSizes({s.listWidth, middle, s.memoWidth});
    if (s.state == 2) setWindowState(Qt::WindowMaximized);
    else if (s.state == 1) setWindowState(Qt::WindowMinimized);
}

void TFrmMain::fitFirstStart(WindowSettings& s) {
    // Room for a whole chart: its rows down to the bottom line, each as wide as its widest.
    constexpr int kChartRows = 22;
    const QString widestRow = QStringLiteral("青龙 妻财甲寅木 ━　━×父母辛丑土 世   ━━━  子孙甲子水      ");
    QTextDocument sample;
    sample.setDefaultFont(Redtliuyao->document()->defaultFont());
    sample.setDocumentMargin(Redtliuyao->document()->documentMargin());
    sample.setPlainText(QStringList(kChartRows, widestRow).join(QLatin1Char('\n')));
    const int scrollBar = style()->pixelMetric(QStyle::PM_ScrollBarExtent);
    const int chartWidth = static_cast<int>(std::ceil(sample.idealWidth() + 2 * sample.documentMargin())) + scrollBar;
    const int chartHeight = static_cast<int>(std::ceil(sample.size().height())) + scrollBar;
    // Everything around the chart pane's inside, as laid out now.
    layout()->activate();
    const int aroundWidth = width() - Redtliuyao->viewport()->width() - ListView1->width() - MeoDec->width();
    const int aroundHeight = height() - Redtliuyao->viewport()->height();
    const QRect available = screen()->availableGeometry();
    const QMargins frame = frameMargins();
    const int roomWidth = available.width() - frame.left() - frame.right();
    const int roomHeight = available.height() - frame.top() - frame.bottom();
    // On a small screen the list and the side pane give up room before the chart does.
    const int sides =
        std::clamp(roomWidth - aroundWidth - chartWidth, 2 * lyinit::kMinPanelWidth, s.listWidth + s.memoWidth);
    s.listWidth = std::max(lyinit::kMinPanelWidth, sides * s.listWidth / (s.listWidth + s.memoWidth));
    s.memoWidth = std::max(lyinit::kMinPanelWidth, sides - s.listWidth);
    s.width = std::min(roomWidth, aroundWidth + chartWidth + s.listWidth + s.memoWidth);
    s.height = std::min(roomHeight, aroundHeight + chartHeight);
    s.left = available.left() + (available.width() - s.width - frame.left() - frame.right()) / 2;
    s.top = available.top() + (available.height() - s.height - frame.top() - frame.bottom()) / 2;
}

QMargins TFrmMain::frameMargins() const {
    const QRect inside = geometry(), outside = frameGeometry();
    return {inside.left() - outside.left(), inside.top() - outside.top(), outside.right() - inside.right(),
            outside.bottom() - inside.bottom()};
}

void TFrmMain::placeOnScreen(const QRect& stored) {
    // left and top place the frame, width and height the inside, and all of it on screen.
    const QRect available = screen()->availableGeometry();
    const QMargins frame = frameMargins();
    const QSize room(available.width() - frame.left() - frame.right(),
                     available.height() - frame.top() - frame.bottom());
    resize(stored.size().boundedTo(room).expandedTo(minimumSizeHint().boundedTo(room)));
    const int outerWidth = width() + frame.left() + frame.right();
    const int outerHeight = height() + frame.top() + frame.bottom();
    move(std::clamp(stored.left(), available.left(), std::max(available.left(), available.right() + 1 - outerWidth)),
         std::clamp(stored.top(), available.top(), std::max(available.top(), available.bottom() + 1 - outerHeight)));
}

void TFrmMain::writeWindowSettings() {
    // Read the file afresh: the category editor may have changed it since the start.
    IniFile ini(datFile(kLyInitFile));
    WindowSettings s;
    // As read at the start: left and top of the frame, width and height of the inside.
    const QRect normal = (isMaximized() || isMinimized()) && normalGeometry().isValid() ? normalGeometry() : geometry();
    const QMargins frame = frameMargins();
    s.left = normal.left() - frame.left();
    s.top = normal.top() - frame.top();
    s.width = normal.width();
    s.height = normal.height();
    s.state = isMinimized() ? 1 : isMaximized() ? 2 : 0;
    s.fontName = Redtliuyao->reportFontFamily().toStdString();
    s.fontSize = Redtliuyao->reportFontSize();
    const QColor bg = Redtliuyao->backgroundColor();
    s.backColor =
        static_cast<int>(colorRefFromRgb(Rgb{static_cast<std::uint8_t>(bg.red()), static_cast<std::uint8_t>(bg.green()),
                                             static_cast<std::uint8_t>(bg.blue())}));
    const QList<int> sizes = splitter_->sizes();
    s.listWidth = std::max(lyinit::kMinPanelWidth, sizes.value(0));
    s.memoWidth = std::max(lyinit::kMinPanelWidth, sizes.value(2));
    qingheng::writeWindowSettings(ini, s);
    const Status saved = ini.save();
    if (!saved) showStatusFailure(saved);
}

void TFrmMain::closeEvent(QCloseEvent* event) {
    if (!offerToSaveBeforeClosing()) {
        event->ignore();
        return;
    }
    if (started_) writeWindowSettings();
    event->accept();
}

// ---------------------------------------------------------------- casting

void TFrmMain::castByListItem(int item) {
    const auto method = MethodOfListItem(item);
    if (!method) return;
    const std::optional<MethodCast> cast = runCastingMethod(this, *method, timeEntry_);
    if (!cast) return;
    // A time cast is dated by the moment it was cast for, a lifetime cast by its date.
    std::optional<CastingTime> datedAt;
    if (cast->lifetimeDate) datedAt = GregorianCastingTime(*cast->lifetimeDate);
    else if (*method == CastingMethod::Time) datedAt = CastingTimeOfEntry(timeEntry_);
    case_.takeCast(cast->result, datedAt);
    castAndShow();
}

void TFrmMain::takeCast(const CastResult& cast) {
    case_.takeCast(cast);
    castAndShow();
}

void TFrmMain::castAndShow() {
    // Edits of the opened case are offered for saving while its chart can still be saved.
    offerToSaveEdits();
    case_.setChartValid(false);
    if (Edtname->text().isEmpty() || Cbolei->text().isEmpty()) {
        prompts().info(this, QStringLiteral("姓名或占问事宜不能为空"));
        return;
    }
    // The record's fields hold GBK bytes: refuse what they cannot keep before casting.
    const Status asker =
        case_.setAsker(Edtname->text().toStdString(), Cbolei->text().toStdString(), std::max(0, lstqu->currentIndex()));
    if (!asker) {
        showStatusFailure(asker);
        return;
    }
    case_.copyIntoRecord();
    if (!assembleCase(true)) return;
    Redtliuyao->setToolTip(QString());
    case_.setChartValid(true);
    Page1->setCurrentIndex(0);
}

bool TFrmMain::assembleCase(bool writeReports) {
    MeoDec->clear();
    engine_->caseInfo = case_.caseInfo();
    engine_->writeReports = writeReports;
    if (!engine_->Assemble(engine_->caseInfo.methodLabel)) {
        prompts().stop(this, QString::fromStdString(engine_->errorText));
        return false;
    }
    if (writeReports) showReports();
    return true;
}

void TFrmMain::showReports() {
    Redtliuyao->showReport(engine_->lineText, engine_->lineSpans);
    Redtmeihua->showReport(engine_->hexText, engine_->hexSpans);
    MeoDec->setPlainText(QString::fromStdString(engine_->AnalysisText(0)));
}

// ---------------------------------------------------------------- saving and the list

bool TFrmMain::saveReportFiles(std::uint32_t id) {
    QString error;
    if (!saveReportFile(*Redtliuyao, store_.reportPath(id), &error) ||
        !saveReportFile(*Redtmeihua, store_.plumReportPath(id), &error)) {
        prompts().stop(this, error);
        return false;
    }
    setPanesUnmodified();
    return true;
}

bool TFrmMain::paneReports(CaseReports& reports) {
    std::string error;
    const auto sixLines = writeRtf(Redtliuyao->styledDocument(), &error);
    const auto plum = sixLines ? writeRtf(Redtmeihua->styledDocument(), &error) : std::nullopt;
    if (!plum) {
        prompts().stop(this, QString::fromStdString(error));
        return false;
    }
    reports = CaseReports{*sixLines, *plum};
    return true;
}

// The record and both report files are stored together or not at all: after a failure the
// panes stay modified and the case keeps its mode and id, so the save can be tried again.
bool TFrmMain::saveCase() {
    if (!case_.chartValid()) {
        prompts().info(this, QStringLiteral("请先排一个正确的盘后再保存"));
        return false;
    }
    const CaseRecord& record = case_.record();
    CaseReports reports;
    if (case_.existing()) {
        const QString question = QStringLiteral("确定要修改，“%1-%2”，这条记录吗？")
                                     .arg(QString::fromStdString(record.name), caseDate(record));
        if (!prompts().question(this, question, QStringLiteral("提示"), PromptIcon::Information)) return false;
        if (!paneReports(reports)) return false;
        const Status written = case_.saveOver(store_, &reports);
        if (!written) {
            showStatusFailure(written);
            return false;
        }
        setPanesUnmodified();
        caseList_->updateRow(caseRowOf(record));
        prompts().info(this, QStringLiteral("已保存编辑后的文本。"));
        return true;
    }
    TFrmFenLei dialog(this);
    if (dialog.exec() != QDialog::Accepted) return false;
    dialog.applyTo(case_.record());
    if (!paneReports(reports)) return false;
    const Status added = case_.saveAsNew(store_, &reports);
    if (!added) {
        showStatusFailure(added);
        return false;
    }
    setPanesUnmodified();
    caseFeed_->skip(record.id);
    caseList_->appendRows({caseRowOf(record)});
    return true;
}

void TFrmMain::fillCaseList(std::vector<std::uint32_t> ids) { caseFeed_->start(std::move(ids)); }

void TFrmMain::showAllCases() {
    if (auto ids = searchAllCases(this, store_)) fillCaseList(std::move(*ids));
}

std::optional<std::uint32_t> TFrmMain::selectedCaseId() {
    const QModelIndexList rows = ListView1->selectionModel()->selectedRows();
    if (rows.isEmpty()) {
        prompts().info(this, QStringLiteral("请先选择一个卦例。"));
        return std::nullopt;
    }
    return caseList_->rowAt(rows.front().row()).id;
}

// ---------------------------------------------------------------- opening, deleting, editing

void TFrmMain::openCase() {
    const std::optional<std::uint32_t> id = selectedCaseId();
    if (!id) return;
    CaseRecord record;
    const SlotRead read = store_.readCase(*id, record);
    if (!read.status) {
        showStatusFailure(read.status);
        return;
    }
    if (!read.live()) return;
    offerToSaveEdits();

    case_.showStored(*id, record);
    showCaseTexts();
    CboQiGua->setCurrentIndex(2 * static_cast<int>(case_.cast().method));
    // The stored reports are shown as they were saved; without them the chart writes new ones.
    const bool stored =
        std::filesystem::exists(store_.reportPath(*id)) && std::filesystem::exists(store_.plumReportPath(*id));
    bool shownStored = false;
    if (stored) {
        QString error;
        shownStored = loadReportFile(*Redtliuyao, store_.reportPath(*id), &error) &&
                      loadReportFile(*Redtmeihua, store_.plumReportPath(*id), &error);
    }
    if (!assembleCase(!shownStored)) return;
    if (!shownStored) saveReportFiles(*id);
    Redtliuyao->setToolTip(QString());
    case_.setChartValid(true);
    setPanesUnmodified();
    setSaveButtonMode(true);
    Page1->setCurrentIndex(0);
}

void TFrmMain::showCaseTexts() {
    Edtname->setText(QString::fromStdString(case_.name()));
    Cbolei->setText(QString::fromStdString(case_.question()));
    lstqu->setCurrentIndex(case_.useGod());
}

void TFrmMain::deleteCase() {
    const std::optional<std::uint32_t> id = selectedCaseId();
    if (!id) return;
    const QString name = QString::fromStdString(caseList_->rowAt(*caseList_->rowOfId(*id)).name);
    const QString question = QStringLiteral("确定要删除\"%1\"这个卦例吗？").arg(name);
    if (!prompts().ask(this, question, QStringLiteral("注意"), DefaultAnswer::No)) return;
    if (case_.isOnView(*id)) {
        if (!prompts().ask(this, QStringLiteral("确定要删除当前正在查看的卦例吗？"), QStringLiteral("提示"))) {
            return;
        }
        Redtliuyao->clearReport();
        Redtmeihua->clearReport();
        case_.leaveStoredCase();
        setSaveButtonMode(false);
    }
    const Status removed = deleteStoredCase(store_, *id);
    if (!removed) {
        showStatusFailure(removed);
        return;
    }
    caseList_->removeId(*id);
}

void TFrmMain::editCase() {
    const std::optional<std::uint32_t> id = selectedCaseId();
    if (!id) return;
    CaseRecord record;
    if (!store_.readCase(*id, record).live()) return;
    TFrmInfo dialog(record, this);
    if (dialog.exec() != QDialog::Accepted) return;
    const Status written = store_.writeCase(*id, dialog.record());
    if (!written) {
        showStatusFailure(written);
        return;
    }
    CaseRow edited = caseRowOf(dialog.record());
    edited.id = *id;
    caseList_->updateRow(edited);
    if (case_.isOnView(*id)) {
        case_.storedCaseEdited(*id, dialog.record());
        showCaseTexts();
    }
}

void TFrmMain::newCase() {
    offerToSaveEdits();
    case_.leaveStoredCase();
    Redtliuyao->clearReport();
    Redtmeihua->clearReport();
    setSaveButtonMode(false);
}

// ---------------------------------------------------------------- modes and edits

void TFrmMain::offerToSaveEdits() {
    if (!case_.existing() || !panesModified()) return;
    if (prompts().ask(this, kEditedReportsQuestion, QStringLiteral("提示"))) saveCase();
}

bool TFrmMain::offerToSaveBeforeClosing() {
    // Typed notes are worth asking about on an opened case and on a new chart not yet saved.
    if (!panesModified() || !(case_.existing() || case_.chartValid())) return true;
    switch (prompts().questionWithCancel(this, kEditedReportsQuestion, QStringLiteral("提示"))) {
        case Answer::Yes:
            return saveCase();  // a save that did not happen keeps the window open
        case Answer::No:
            return true;
        case Answer::Cancel:
            break;
    }
    return false;
}

void TFrmMain::forgetCaseOnView() {
    case_.forgetCase();
    Redtliuyao->clearReport();
    Redtmeihua->clearReport();
    MeoDec->clear();
    caseFeed_->stop();
    caseList_->clear();
    setSaveButtonMode(false);
}

bool TFrmMain::panesModified() const {
    return Redtliuyao->document()->isModified() || Redtmeihua->document()->isModified();
}

void TFrmMain::setPanesUnmodified() {
    Redtliuyao->document()->setModified(false);
    Redtmeihua->document()->setModified(false);
}

void TFrmMain::setSaveButtonMode(bool existing) {
    SbtoSave->setText(existing ? QStringLiteral("存旧") : QStringLiteral("存新"));
    QPalette p = SbtoSave->palette();
    p.setColor(QPalette::ButtonText, existing ? kExistingModeColor : QColor(Qt::black));
    SbtoSave->setPalette(p);
}

void TFrmMain::showStatusFailure(const Status& status) { prompts().stop(this, QString::fromStdString(status.message)); }

// ---------------------------------------------------------------- side panel and tips

void TFrmMain::showLineHint(int row, bool leftHalf) {
    const QString hint = leftHalf ? QString::fromStdString(engine_->LineHint(row)) : QString();
    Redtliuyao->setToolTip(hint);
    if (hint.isEmpty()) {
        QToolTip::hideText();
        return;
    }
    QToolTip::showText(QCursor::pos(), hint, Redtliuyao);
    hintTimer_->start();  // shown again so a changed tip appears without moving the pointer
}

bool TFrmMain::eventFilter(QObject* watched, QEvent* event) {
    if (watched == lstqu && event->type() == QEvent::ContextMenu) {
        showUseGodText();
        return true;
    }
    return QMainWindow::eventFilter(watched, event);
}

void TFrmMain::showUseGodText() {
    const int item = lstqu->currentIndex();
    if (item < 0) return;
    prompts().info(this, QString::fromStdString(resourceString(kUseGodTexts + item)), QStringLiteral("用神取法"));
}

void TFrmMain::explainActiveTab() {
    if (!case_.chartValid()) {
        prompts().info(this, QStringLiteral("请先起一个正确的卦"));
        return;
    }
    MeoDec->setPlainText(QString::fromStdString(engine_->AnalysisText(Page1->currentIndex() == 1 ? 1 : 0)));
}

void TFrmMain::chooseCastingTime() {
    TFrmTime dialog(case_.castingTime(), this);
    if (dialog.exec() == QDialog::Accepted) RememberCastingTime(timeEntry_, case_.castingTime());
}

void TFrmMain::setSelectedTextFont(TReportPane* pane) {
    QTextCursor cursor = pane->textCursor();
    const QTextCharFormat current = cursor.charFormat();
    const std::optional<QFont> font = prompts().chooseFont(this, current.font());
    if (!font) return;
    // Qt's font dialog has no colour of its own: the colour dialog follows it.
    const std::optional<QColor> color = prompts().chooseColor(this, current.foreground().color());
    if (!cursor.hasSelection()) return;
    QTextCharFormat format;
    format.setFont(*font);
    if (color) format.setForeground(*color);
    cursor.mergeCharFormat(format);
}

void TFrmMain::openHelpFile(const std::filesystem::path& path) {
    const QString shown = QString::fromStdString(path.string());
    if (std::error_code ec; !std::filesystem::exists(path, ec)) {
        prompts().info(this, QStringLiteral("找不到帮助文件“%1”。").arg(shown));
        return;
    }
    if (!QDesktopServices::openUrl(QUrl::fromLocalFile(shown)))
        prompts().warn(this, QStringLiteral("无法打开帮助文件“%1”：系统没有能打开它的程序。").arg(shown));
}

void TFrmMain::showZhouYiReader() {
    if (!zhouYi_) {
        zhouYi_ = new TFrmZhouYi(this);
        zhouYi_->show();
    }
    zhouYi_->raise();
    zhouYi_->activateWindow();
}

// ---------------------------------------------------------------- report settings

void TFrmMain::defaultReportLook() {
    const Rgb bg = rgbFromColorRef(static_cast<std::uint32_t>(lyinit::kBackColor.defaultValue));
    for (TReportPane* pane : {Redtliuyao, Redtmeihua}) {
        pane->setReportFont(qstr(lyinit::kFontName.defaultValue), lyinit::kFontSize.defaultValue);
        pane->setBackgroundColor(QColor(bg.r, bg.g, bg.b));
    }
    prompts().info(this, QStringLiteral("设置完成"));
}

void TFrmMain::chooseReportFont() {
    // The dialog starts from the font actually drawn (the stand-in for 宋体), which it lists.
    const QString drawn = Redtliuyao->drawnFontFamily();
    QFont initial(drawn);
    initial.setPointSize(Redtliuyao->reportFontSize());
    const std::optional<QFont> font = prompts().chooseFont(this, initial);
    if (!font) return;
    // Only the size changed: the report keeps the font name it had.
    const QString family = font->family() == drawn ? Redtliuyao->reportFontFamily() : font->family();
    const int size = font->pointSize() > 0 ? font->pointSize() : Redtliuyao->reportFontSize();
    for (TReportPane* pane : {Redtliuyao, Redtmeihua}) pane->setReportFont(family, size);
    prompts().info(this, QStringLiteral("设置完成"));
}

void TFrmMain::chooseReportBackground() {
    const std::optional<QColor> color = prompts().chooseColor(this, Redtliuyao->backgroundColor());
    if (!color) return;
    for (TReportPane* pane : {Redtliuyao, Redtmeihua}) pane->setBackgroundColor(*color);
    prompts().info(this, QStringLiteral("设置完成"));
}

// ---------------------------------------------------------------- case book files

void TFrmMain::exportHistory() {
    const QString folder = prompts().chooseFolder(this, QStringLiteral("导出历史记录"));
    if (folder.isEmpty()) return;
    const Status exported = store_.exportStore(folder.toStdString());
    if (!exported) {
        showStatusFailure(exported);
        return;
    }
    const QString shown = folder.endsWith('/') ? folder : folder + '/';
    prompts().info(this, QStringLiteral("成功导出，已保存到") + shown + QStringLiteral("目录下"));
}

void TFrmMain::importHistory() {
    if (!prompts().ask(this, QStringLiteral("执行此操作将覆盖现有的历史记录，要继续吗？"), QStringLiteral("注意了"),
                       DefaultAnswer::No)) {
        return;
    }
    const QString file = prompts().openFile(this, QStringLiteral("all.dat|*.dat"), QStringLiteral("liuyao0.dat"));
    if (file.isEmpty()) return;
    // The store checks the backup and replaces the case book only when it is sound; the
    // book it replaces moves into a dated folder, which the message names.
    std::filesystem::path movedTo;
    const Status imported = store_.importStore(file.toStdString(), &movedTo);
    if (!imported) {
        showStatusFailure(imported);
        return;
    }
    forgetCaseOnView();  // nothing of the old book may be saved into the restored one
    prompts().info(this, QStringLiteral("成功导入，请重启软件！") + replacedNoteText(movedTo));
    close();
}

void TFrmMain::clearHistory() {
    if (!prompts().ask(this, QStringLiteral("这将清除所有历史记录，要继续吗？"), QStringLiteral("注意了"),
                       DefaultAnswer::No) ||
        !prompts().ask(this, QStringLiteral("确定要清除吗？"), QStringLiteral("注意了"), DefaultAnswer::No)) {
        return;
    }
    std::filesystem::path movedTo;
    const Status cleared = store_.clearStore(&movedTo);
    if (!cleared) {
        showStatusFailure(cleared);
        return;
    }
    forgetCaseOnView();
    prompts().info(this, QStringLiteral("清除完成,请重启软件。") + replacedNoteText(movedTo));
    close();
}

}  // namespace qingheng
