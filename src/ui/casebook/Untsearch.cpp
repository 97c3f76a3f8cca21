#include "ui/casebook/Untsearch.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>

#include "platform/Settings.h"
#include "ui/casebook/Untflei.h"
#include "ui/common/Untprompt.h"
#include "vocab/Hexagram.h"

namespace qingheng {

namespace {

void showFailure(QWidget* parent, const Status& status) {
    prompts().stop(parent, QString::fromStdString(status.message));
}

// False (after telling the user) when the store is empty or cannot be read.
bool storeHasSlots(QWidget* parent, const MDataBase& store) {
    int count = 0;
    if (Status s = store.countSlots(count); !s) {
        showFailure(parent, s);
        return false;
    }
    if (count > 0) return true;
    prompts().info(parent, QStringLiteral("没有记录，无从查找。"));
    return false;
}

void tellNothingFound(QWidget* parent) {
    prompts().info(parent, QStringLiteral("没有找到符合条件的卦例。"), QStringLiteral("信息"));
}

void refuseYears(QWidget* parent, const QString& text) { prompts().warn(parent, text, QStringLiteral("年份错误")); }

// A year field as a number; anything that is not one reads as 0.
int yearValue(const QLineEdit* field) {
    bool ok = false;
    const int value = field->text().toInt(&ok);
    return ok ? value : 0;
}

// A non-empty text sets its mode from the check box and is copied; an empty one only
// switches its criterion off, so the old text comes back when the dialog reopens.
void copyCriterion(const QString& text, const QCheckBox* exact, std::string& queryText, MatchMode& mode) {
    if (text.isEmpty()) {
        mode = MatchMode::Ignore;
        return;
    }
    mode = exact->isChecked() ? MatchMode::Equals : MatchMode::Contains;
    queryText = text.toStdString();
}

QLineEdit* limitedEdit(QWidget* parent, const char* name, int maxChars) {
    auto* edit = new QLineEdit(parent);
    edit->setObjectName(name);
    edit->setMaxLength(maxChars);
    limitEditBytes(edit, maxChars);  // a Chinese character takes two of them
    return edit;
}

QCheckBox* exactBox(QWidget* parent, const char* name) {
    auto* box = new QCheckBox(QStringLiteral("全字匹配"), parent);
    box->setObjectName(name);
    return box;
}

QPushButton* button(QWidget* parent, const QString& caption, const char* name) {
    auto* b = new QPushButton(caption, parent);
    b->setObjectName(name);
    return b;
}

}  // namespace

TFrmSearch::TFrmSearch(MDataBase& store, CaseQuery& query, QWidget* parent)
    : QDialog(parent), store_(store), query_(query) {
    setObjectName("FrmSearch");
    setWindowTitle(QStringLiteral("查找卦例"));
    buildControls();
    showQuery();
}

void TFrmSearch::buildControls() {
    Edtname = limitedEdit(this, "Edtname", 10);
    ChkName = exactBox(this, "ChkName");
    CboFenLei = new QComboBox(this);
    CboFenLei->setObjectName("CboFenLei");
    CboFenLei->setEditable(true);
    CboFenLei->setInsertPolicy(QComboBox::NoInsert);
    CboFenLei->lineEdit()->setMaxLength(12);
    limitEditBytes(CboFenLei->lineEdit(), 12);
    CboFenLei->setMaxVisibleItems(16);
    ChkClass = exactBox(this, "ChkClass");
    LedtEvent = limitedEdit(this, "LedtEvent", 40);
    ChkEvent = exactBox(this, "ChkEvent");
    // Any of the 64 names, found as the main or the changed hexagram of a case.
    CboGuaMing = new QComboBox(this);
    CboGuaMing->setObjectName("CboGuaMing");
    CboGuaMing->setEditable(true);
    CboGuaMing->setInsertPolicy(QComboBox::NoInsert);
    CboGuaMing->setMaxVisibleItems(16);
    for (int number = 1; number <= 64; ++number) CboGuaMing->addItem(QString::fromStdString(HexagramName(number)));
    CboGuaMing->setToolTip(QStringLiteral("六十四卦之一，主卦或变卦是它的卦例都会找到"));
    LedtY1 = limitedEdit(this, "LedtY1", 4);
    LedtY2 = limitedEdit(this, "LedtY2", 4);

    BtoAll = button(this, QStringLiteral("清除"), "BtoAll");
    BtoAll->setToolTip(QStringLiteral("清除所有条件，以查找全部卦例"));
    BtnSearch = button(this, QStringLiteral("查找"), "BtnSearch");
    BtnSearch->setDefault(true);
    BtoCancel = button(this, QStringLiteral("取消"), "BtoCancel");
    connect(BtoAll, &QPushButton::clicked, this, &TFrmSearch::BtoAllClick);
    connect(BtnSearch, &QPushButton::clicked, this, &TFrmSearch::BtnSearchClick);
    connect(BtoCancel, &QPushButton::clicked, this, &QDialog::reject);

    // A busy bar stands for the search animation; it shows only while searching.
    Animate1 = new QProgressBar(this);
    Animate1->setObjectName("Animate1");
    Animate1->setRange(0, 0);
    Animate1->setTextVisible(false);
    Animate1->setMaximumHeight(12);
    // Its room is kept while it is hidden, so the dialog does not grow at the first search.
    QSizePolicy keepRoom = Animate1->sizePolicy();
    keepRoom.setRetainSizeWhenHidden(true);
    Animate1->setSizePolicy(keepRoom);
    Animate1->hide();

    auto* grid = new QGridLayout(this);
    grid->addWidget(new QLabel(QStringLiteral("姓名"), this), 0, 0);
    grid->addWidget(Edtname, 0, 1, 1, 3);
    grid->addWidget(ChkName, 0, 4);
    grid->addWidget(new QLabel(QStringLiteral("类别"), this), 1, 0);
    grid->addWidget(CboFenLei, 1, 1, 1, 3);
    grid->addWidget(ChkClass, 1, 4);
    grid->addWidget(new QLabel(QStringLiteral("占问事宜"), this), 2, 0);
    grid->addWidget(LedtEvent, 2, 1, 1, 3);
    grid->addWidget(ChkEvent, 2, 4);
    grid->addWidget(new QLabel(QStringLiteral("卦名"), this), 3, 0);
    grid->addWidget(CboGuaMing, 3, 1, 1, 3);
    grid->addWidget(new QLabel(QStringLiteral("起卦年从"), this), 4, 0);
    grid->addWidget(LedtY1, 4, 1);
    grid->addWidget(new QLabel(QStringLiteral("到"), this), 4, 2, Qt::AlignCenter);
    grid->addWidget(LedtY2, 4, 3);
    grid->addWidget(Animate1, 5, 0, 1, 5);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(BtoAll);
    buttons->addStretch();
    buttons->addWidget(BtnSearch);
    buttons->addWidget(BtoCancel);
    grid->addLayout(buttons, 6, 0, 1, 5);
    grid->setColumnStretch(1, 1);
    grid->setColumnStretch(3, 1);
}

void TFrmSearch::showQuery() {
    fillCategories(CboFenLei, MissingCategory::DefaultName);
    CboFenLei->setCurrentIndex(-1);
    if (query_.useYears) {
        LedtY1->setText(QString::number(query_.firstYear));
        LedtY2->setText(QString::number(query_.lastYear));
    }
    ChkName->setChecked(query_.nameMode == MatchMode::Equals);
    ChkClass->setChecked(query_.categoryMode == MatchMode::Equals);
    ChkEvent->setChecked(query_.questionMode == MatchMode::Equals);
    if (!query_.name.empty()) Edtname->setText(QString::fromStdString(query_.name));
    if (!query_.category.empty()) CboFenLei->setEditText(QString::fromStdString(query_.category));
    if (!query_.question.empty()) LedtEvent->setText(QString::fromStdString(query_.question));
    CboGuaMing->setCurrentIndex(-1);
    if (query_.hexagram != 0) CboGuaMing->setEditText(QString::fromStdString(HexagramName(query_.hexagram)));
}

void TFrmSearch::BtoAllClick() {
    if (!prompts().question(this, QStringLiteral("这将清除所有输入的条件参数，以便搜索所有卦例，确定吗？"),
                            QStringLiteral("提示"), PromptIcon::Information))
        return;
    LedtY1->clear();
    LedtY2->clear();
    Edtname->clear();
    CboFenLei->setEditText(QString());
    LedtEvent->clear();
    CboGuaMing->setEditText(QString());
    ChkName->setChecked(false);
    ChkClass->setChecked(false);
    ChkEvent->setChecked(false);
}

// Copies the year range into the query; false (after telling the user, the query unchanged)
// when it is refused.
bool TFrmSearch::readYears() {
    if (LedtY1->text().isEmpty() && LedtY2->text().isEmpty()) {
        query_.useYears = false;
        return true;
    }
    const Status set = setQueryYears(query_, yearValue(LedtY1), yearValue(LedtY2));
    if (!set) refuseYears(this, qstr(set.message));
    return set.ok;
}

void TFrmSearch::copyTextsIntoQuery() {
    copyCriterion(Edtname->text(), ChkName, query_.name, query_.nameMode);
    copyCriterion(CboFenLei->currentText(), ChkClass, query_.category, query_.categoryMode);
    copyCriterion(LedtEvent->text(), ChkEvent, query_.question, query_.questionMode);
}

std::optional<int> TFrmSearch::readHexagram() {
    const QString name = CboGuaMing->currentText().trimmed();
    if (name.isEmpty()) return 0;
    const int number = HexagramNumberOfName(name.toStdString());
    if (number == 0) {
        prompts().warn(this, QStringLiteral("“%1”不是六十四卦的卦名，请从列表中选择，例如天风姤。").arg(name),
                       QStringLiteral("卦名错误"));
        return std::nullopt;
    }
    return number;
}

void TFrmSearch::BtnSearchClick() {
    // A refused name or year range leaves the kept query exactly as it was.
    const std::optional<int> hexagram = readHexagram();
    if (!hexagram || !readYears()) return;
    copyTextsIntoQuery();
    query_.hexagram = *hexagram;
    query_.changedHexagram = 0;
    if (!storeHasSlots(this, store_)) return;
    if (!runSearch()) return;
    if (resultIds_.empty()) {
        tellNothingFound(this);
        return;
    }
    const QString found = QStringLiteral("共找到%1条记录，要显示到卦例列表中吗？").arg(resultIds_.size());
    if (prompts().question(this, found, QStringLiteral("提示"), PromptIcon::Information)) accept();
}

// The search runs here on the interface thread, so the buttons are off meanwhile.
bool TFrmSearch::runSearch() {
    setBusy(true);
    const Status s = store_.searchCases(query_, resultIds_);
    setBusy(false);
    if (!s) {
        resultIds_.clear();
        showFailure(this, s);
        return false;
    }
    return true;
}

void TFrmSearch::setBusy(bool busy) {
    BtoAll->setEnabled(!busy);
    BtnSearch->setEnabled(!busy);
    BtoCancel->setEnabled(!busy);
    Animate1->setVisible(busy);
    if (busy) Animate1->repaint();
}

std::optional<std::vector<std::uint32_t>> searchAllCases(QWidget* parent, MDataBase& store) {
    if (!storeHasSlots(parent, store)) return std::nullopt;
    CaseQuery everything;
    std::vector<std::uint32_t> ids;
    if (Status s = store.searchCases(everything, ids); !s) {
        showFailure(parent, s);
        return std::nullopt;
    }
    if (ids.empty()) {
        tellNothingFound(parent);
        return std::nullopt;
    }
    return ids;
}

}  // namespace qingheng
