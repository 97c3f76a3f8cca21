#include "ui/reference/Untliuren.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "reference/HourLesson.h"
#include "reference/Lots.h"
#include "ui/common/Untprompt.h"
#include "ui/common/Unttext.h"
#include "ui/reference/Untreading.h"

namespace qingheng {
namespace {

constexpr int kLotInputBytes = 6;
const QString kHelpCaption = QStringLiteral("说明");

QListWidget* makeList(QWidget* parent, const char* name, int count, std::string (*item)(int), int first) {
    auto* list = new QListWidget(parent);
    list->setObjectName(name);
    for (int k = first; k < first + count; ++k) list->addItem(qstr(item(k)));
    list->setCurrentRow(0);
    list->setFixedWidth(list->sizeHintForColumn(0) + 28);
    return list;
}

QPlainTextEdit* makeResultMemo(QWidget* parent, const char* name) {
    QPlainTextEdit* memo = makeReadingMemo(parent, name);
    QFont font(QStringLiteral("宋体"));
    font.setPixelSize(15);
    memo->setFont(font);
    return memo;
}

QPushButton* makeButton(QWidget* parent, const char* name, const QString& text) {
    auto* button = new QPushButton(text, parent);
    button->setObjectName(name);
    button->setAutoDefault(false);
    return button;
}

}  // namespace

TFrmLiuRen::TFrmLiuRen(int mode, QWidget* parent) : QDialog(parent), mode_(mode) {
    setObjectName("FrmLiuRen");
    auto* layout = new QVBoxLayout(this);
    QWidget* lesson = buildLessonPanel();
    QWidget* panzg = buildLotPanel();
    layout->addWidget(lesson);
    layout->addWidget(panzg);
    if (mode_ == kLessonMode) {
        setWindowTitle(QStringLiteral("苍梧子六壬时课"));
        panzg->hide();
        resize(720, 420);
    } else {
        setWindowTitle(QStringLiteral("诸葛神数"));
        lesson->hide();
        resize(520, 360);
    }
}

QWidget* TFrmLiuRen::buildLessonPanel() {
    auto* panel = new QWidget(this);
    panel->setObjectName("panlesson");
    lstm_ = makeList(panel, "lstm", 12, LessonMonthItem, 1);
    lstd_ = makeList(panel, "lstd", 30, LessonDayItem, 1);
    lsts_ = makeList(panel, "lsts", 24, LessonHourItem, 0);
    Memo1_ = makeResultMemo(panel, "Memo1");
    // The lesson breaks its own lines; the memo is wide enough for the longest (19 characters).
    Memo1_->setLineWrapMode(QPlainTextEdit::NoWrap);
    Memo1_->setMinimumWidth(Memo1_->fontMetrics().horizontalAdvance(QStringLiteral("字")) * 20 + 32);
    auto* btnok = makeButton(panel, "Btnok", QStringLiteral("起课"));
    auto* help = makeButton(panel, "BitBtn2", QStringLiteral("说明"));
    connect(btnok, &QPushButton::clicked, this, &TFrmLiuRen::BtnokClick);
    connect(help, &QPushButton::clicked, this, &TFrmLiuRen::BitBtn2Click);

    auto* buttons = new QVBoxLayout;
    buttons->addWidget(btnok);
    buttons->addWidget(help);
    buttons->addStretch();
    auto* row = new QHBoxLayout(panel);
    row->setContentsMargins(0, 0, 0, 0);
    row->addWidget(lstm_);
    row->addWidget(lstd_);
    row->addWidget(lsts_);
    row->addLayout(buttons);
    row->addWidget(Memo1_, 1);
    return panel;
}

QWidget* TFrmLiuRen::buildLotPanel() {
    auto* panel = new QWidget(this);
    panel->setObjectName("panzg");
    ledthz_ = new QLineEdit(QStringLiteral("求测字"), panel);
    ledthz_->setObjectName("ledthz");
    ledthz_->setToolTip(QStringLiteral("输入三个汉字"));
    limitEditBytes(ledthz_, kLotInputBytes);
    auto* btnce = new QPushButton(QStringLiteral("推测"), panel);
    btnce->setObjectName("Btnce");
    btnce->setDefault(true);
    auto* help = makeButton(panel, "BitBtn1", QStringLiteral("说明"));
    Memo2_ = makeResultMemo(panel, "Memo2");
    connect(btnce, &QPushButton::clicked, this, &TFrmLiuRen::BtnceClick);
    connect(help, &QPushButton::clicked, this, &TFrmLiuRen::BitBtn1Click);

    auto* input = new QHBoxLayout;
    input->addWidget(new QLabel(QStringLiteral("测字"), panel));
    input->addWidget(ledthz_);
    input->addWidget(btnce);
    input->addWidget(help);
    input->addStretch();
    auto* column = new QVBoxLayout(panel);
    column->setContentsMargins(0, 0, 0, 0);
    column->addLayout(input);
    column->addWidget(Memo2_, 1);
    return panel;
}

void TFrmLiuRen::BtnokClick() {
    const int month = std::max(lstm_->currentRow(), 0);
    const int day = std::max(lstd_->currentRow(), 0);
    const int hour = std::max(lsts_->currentRow(), 0);
    Memo1_->setPlainText(qstr(HourLessonText(month, day, hour)));
}

void TFrmLiuRen::BitBtn2Click() {
    prompts().info(this, QStringLiteral("根据时间（农历）起一课断吉凶。"), kHelpCaption);
}

void TFrmLiuRen::BtnceClick() {
    const LotDraw draw = DrawLot(ledthz_->text().toStdString());
    if (!draw.refusal) {
        Memo2_->setPlainText(qstr(draw.memo));
        return;
    }
    const LotRefusal& refusal = *draw.refusal;
    const QString text = qstr(refusal.text), caption = qstr(refusal.caption);
    switch (refusal.kind) {
        case LotRefusal::Kind::WrongLength:
            prompts().info(this, text, caption);
            break;
        case LotRefusal::Kind::NotHanzi:
            prompts().stop(this, text, caption);
            ledthz_->clear();
            break;
        case LotRefusal::Kind::NoStrokes:
            prompts().info(this, text, caption);
            return;
        case LotRefusal::Kind::TableMissing:
            prompts().stop(this, text, caption);
            return;
    }
    ledthz_->setFocus();
}

void TFrmLiuRen::BitBtn1Click() {
    prompts().info(this, QStringLiteral("输入三个汉字就可抽一签断吉凶。\n笔画数以繁体字计算。"), kHelpCaption);
}

}  // namespace qingheng
