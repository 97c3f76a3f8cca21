#include "ui/casting/Untgtime.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>

#include "platform/Settings.h"
#include "ui/casting/Untcastinput.h"
#include "ui/common/Untdatelists.h"
#include "ui/common/Untprompt.h"
#include "vocab/Signs.h"

namespace qingheng {

namespace {

QPushButton* MakeButton(QWidget* parent, const char* name, const QString& text) {
    auto* button = new QPushButton(text, parent);
    button->setObjectName(name);
    button->setAutoDefault(false);  // Enter in the year edit refreshes; it never casts
    return button;
}

QRadioButton* MakeRadio(QWidget* parent, const char* name, const QString& text) {
    auto* radio = new QRadioButton(text, parent);
    radio->setObjectName(name);
    return radio;
}

}  // namespace

TFrmGTime::TFrmGTime(TimeCastingEntry& entry, QWidget* parent) : QDialog(parent), entry_(entry) {
    setObjectName("FrmGTime");
    setWindowTitle(QStringLiteral("时间起卦法"));

    auto* pages = new QTabWidget(this);
    pages->setObjectName("PageControl1");
    pages->addTab(makeTimePage(), QStringLiteral("时间起卦"));
    pages->addTab(makeLifetimePage(), QStringLiteral("终身卦"));

    auto* cancel = MakeButton(this, "BitBtn2", QStringLiteral("取消"));
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(makeDatePanel());
    layout->addWidget(pages);
    auto* bottom = new QHBoxLayout;
    bottom->addStretch();
    bottom->addWidget(cancel);
    layout->addLayout(bottom);
}

QWidget* TFrmGTime::makeDatePanel() {
    auto* panel = new QWidget(this);
    edtyear_ = new QLineEdit(panel);
    edtyear_->setObjectName("Edtyear");
    edtyear_->setMaxLength(4);
    edtyear_->setFixedWidth(60);
    updyear_ = new QSpinBox(panel);
    updyear_->setObjectName("Updyear");
    updyear_->setRange(0, kLastYear - kFirstYear);
    updyear_->setFixedWidth(20);  // only its arrows show: it steps the year in the edit
    auto* now = new QToolButton(panel);
    now->setObjectName("SpeedButton1");
    now->setText(QStringLiteral("现在"));
    now->setToolTip(QStringLiteral("现在时间"));

    createDateLists(panel, cbom_, cbod_, cbos_, cbomin_);
    rdogl_ = MakeRadio(panel, "Rdogl", QStringLiteral("公历"));
    rdonl_ = MakeRadio(panel, "Rdonl", QStringLiteral("农历"));
    rdogl_->setChecked(true);
    chkrun_ = new QCheckBox(QStringLiteral("农历闰月"), panel);
    chkrun_->setObjectName("Chkrun");
    stxtHint_ = new QLabel(panel);
    stxtHint_->setObjectName("StxtHint");

    auto* dateRow = new QHBoxLayout;
    dateRow->addWidget(edtyear_);
    dateRow->addWidget(updyear_);
    dateRow->addWidget(new QLabel(QStringLiteral("年"), panel));
    for (QWidget* w : {static_cast<QWidget*>(cbom_), static_cast<QWidget*>(cbod_), static_cast<QWidget*>(cbos_),
                       static_cast<QWidget*>(cbomin_), static_cast<QWidget*>(now)})
        dateRow->addWidget(w);
    auto* calendarRow = new QHBoxLayout;
    calendarRow->addWidget(rdogl_);
    calendarRow->addWidget(rdonl_);
    calendarRow->addWidget(chkrun_);
    calendarRow->addStretch();
    auto* layout = new QVBoxLayout(panel);
    layout->addLayout(dateRow);
    layout->addLayout(calendarRow);
    layout->addWidget(stxtHint_);

    for (QComboBox* list : {cbom_, cbod_, cbos_, cbomin_})
        connect(list, &QComboBox::currentIndexChanged, this, &TFrmGTime::refresh);
    connect(rdogl_, &QRadioButton::toggled, this, [this](bool on) {
        if (on) refresh();
    });
    connect(rdonl_, &QRadioButton::toggled, this, [this](bool on) {
        if (on) refresh();
    });
    connect(chkrun_, &QCheckBox::toggled, this, &TFrmGTime::refresh);
    connect(updyear_, &QSpinBox::valueChanged, this, &TFrmGTime::UpdyearClick);
    connect(edtyear_, &QLineEdit::returnPressed, this, [this] {
        // Keep the arrows stepping from the typed year.
        const int year = edtyear_->text().toInt();
        restoring_ = true;
        if (year >= kFirstYear && year <= kLastYear) updyear_->setValue(year - kFirstYear);
        restoring_ = false;
        validateAndHint();
    });
    connect(now, &QToolButton::clicked, this, &TFrmGTime::SpeedButton1Click);
    return panel;
}

QWidget* TFrmGTime::makeTimePage() {
    auto* page = new QWidget(this);
    rdonoadd_ = MakeRadio(page, "Rdonoadd", QStringLiteral("不加数"));
    rdohz_ = MakeRadio(page, "Rdohz", QStringLiteral("加汉字"));
    rdonum_ = MakeRadio(page, "Rdonum", QStringLiteral("加数字"));
    rdonoadd_->setChecked(true);
    ledthz_ = new QLineEdit(qstr(kDefaultAdditionChar), page);
    ledthz_->setObjectName("ledthz");
    ledtnum_ = new QLineEdit(qstr(kDefaultAdditionNumber), page);
    ledtnum_->setObjectName("ledtnum");
    ledtnum_->setMaxLength(kAdditionDigits);
    // The character edit holds at most one double-byte character's two bytes.
    limitEditBytes(ledthz_, kAdditionCharBytes);
    for (QRadioButton* r : {rdonoadd_, rdohz_, rdonum_})
        connect(r, &QRadioButton::toggled, this, &TFrmGTime::additionChanged);
    additionChanged();

    auto* btnok = MakeButton(page, "Btnok", QStringLiteral("布卦"));
    connect(btnok, &QPushButton::clicked, this, &TFrmGTime::BtnokClick);

    auto* grid = new QGridLayout(page);
    grid->addWidget(rdonoadd_, 0, 0);
    grid->addWidget(rdohz_, 1, 0);
    grid->addWidget(new QLabel(QStringLiteral("汉字"), page), 1, 1);
    grid->addWidget(ledthz_, 1, 2);
    grid->addWidget(rdonum_, 2, 0);
    grid->addWidget(new QLabel(QStringLiteral("数字"), page), 2, 1);
    grid->addWidget(ledtnum_, 2, 2);
    grid->addWidget(btnok, 3, 2);
    return page;
}

QWidget* TFrmGTime::makeLifetimePage() {
    auto* page = new QWidget(this);
    rdoGan_ = MakeRadio(page, "RdoGan", QStringLiteral("以天干起"));
    rdoZhi_ = MakeRadio(page, "RdoZhi", QStringLiteral("以地支起"));
    rdoGan_->setChecked(true);
    auto* bitBtn1 = MakeButton(page, "BitBtn1", QStringLiteral("布卦"));
    connect(bitBtn1, &QPushButton::clicked, this, &TFrmGTime::BitBtn1Click);
    auto* layout = new QVBoxLayout(page);
    layout->addWidget(rdoGan_);
    layout->addWidget(rdoZhi_);
    layout->addStretch();
    layout->addWidget(bitBtn1, 0, Qt::AlignRight);
    return page;
}

void TFrmGTime::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    monthMode_ = readChartSettings().timegua;
    restoreEntry();
    validateAndHint();
}

void TFrmGTime::restoreEntry() {
    restoring_ = true;
    if (entry_.year == 0) {  // never filled: start at the current time
        const CastingTime now = CastingTimeNow();
        entry_.year = now.year;
        entry_.month = now.month;
        entry_.day = now.day;
        entry_.hour = now.hour;
        entry_.minute = now.minute;
    }
    edtyear_->setText(QString::number(entry_.year));
    updyear_->setValue(std::clamp(entry_.year - kFirstYear, 0, kLastYear - kFirstYear));
    cbom_->setCurrentIndex(entry_.month - 1);
    cbod_->setCurrentIndex(entry_.day - 1);
    cbos_->setCurrentIndex(entry_.hour);
    cbomin_->setCurrentIndex(entry_.minute);
    switch (entry_.additionKind) {
        case TimeAddition::None:
            rdonoadd_->setChecked(true);
            break;
        case TimeAddition::Character:
            rdohz_->setChecked(true);
            ledthz_->setText(qstr(entry_.additionText));
            break;
        case TimeAddition::Number:
            rdonum_->setChecked(true);
            ledtnum_->setText(qstr(entry_.additionText));
            break;
    }
    (entry_.lifetimeStart == LifetimeStart::Branch ? rdoZhi_ : rdoGan_)->setChecked(true);
    chkrun_->setChecked(entry_.leap != 0);
    (entry_.lunar != 0 ? rdonl_ : rdogl_)->setChecked(true);
    restoring_ = false;
}

void TFrmGTime::storeEntry() {
    entry_.year = static_cast<std::int16_t>(edtyear_->text().toInt());
    entry_.month = static_cast<std::int16_t>(cbom_->currentIndex() + 1);
    entry_.day = static_cast<std::int16_t>(cbod_->currentIndex() + 1);
    entry_.hour = static_cast<std::int16_t>(cbos_->currentIndex());
    entry_.minute = static_cast<std::int16_t>(cbomin_->currentIndex());
    entry_.lunar = rdonl_->isChecked() ? 1 : 0;
    entry_.leap = chkrun_->isChecked() ? 1 : 0;
    entry_.additionKind = additionKind();
    entry_.additionText = entry_.additionKind == TimeAddition::Character ? ledthz_->text().toStdString()
                          : entry_.additionKind == TimeAddition::Number  ? ledtnum_->text().toStdString()
                                                                         : std::string();
    entry_.lifetimeStart = rdoZhi_->isChecked() ? LifetimeStart::Branch : LifetimeStart::Stem;
}

TimeAddition TFrmGTime::additionKind() const {
    if (rdohz_->isChecked()) return TimeAddition::Character;
    if (rdonum_->isChecked()) return TimeAddition::Number;
    return TimeAddition::None;
}

void TFrmGTime::additionChanged() {
    ledthz_->setEnabled(rdohz_->isChecked());
    ledtnum_->setEnabled(rdonum_->isChecked());
}

QString TFrmGTime::hint() const { return stxtHint_->text(); }

void TFrmGTime::refresh() {
    if (!restoring_) validateAndHint();
}

std::optional<TimeMoment> TFrmGTime::checkedMoment(Checking checking) {
    bool isNumber = false;
    const int year = edtyear_->text().toInt(&isNumber);
    TimeInput input;
    input.year = isNumber ? year : 0;
    input.month = cbom_->currentIndex() + 1;
    input.day = cbod_->currentIndex() + 1;
    input.hour = cbos_->currentIndex();
    input.minute = cbomin_->currentIndex();
    input.lunar = rdonl_->isChecked();
    input.leap = chkrun_->isChecked();
    const TimeCheck check = CheckTimeInput(input, monthMode_);
    if (!check.moment) {
        stxtHint_->clear();  // the hint never describes a moment that was refused
        const QString text = qstr(check.refusal->text);
        // Stepping from the 31st to the 28th of February passes two days that do not exist:
        // once is enough to say so.
        if (checking == Checking::OnAccepting || text != lastRefusal_) showCastMessage(this, *check.refusal);
        if (checking == Checking::WhileEditing) lastRefusal_ = text;
        if (check.focusYear) edtyear_->setFocus();
        return std::nullopt;
    }
    lastRefusal_.clear();
    gregorian_ = check.moment->gregorian;
    stxtHint_->setText(qstr(TimeHint(*check.moment)));
    return check.moment;
}

bool TFrmGTime::validateAndHint() { return checkedMoment(Checking::WhileEditing).has_value(); }

void TFrmGTime::SpeedButton1Click() {
    const CastingTime now = CastingTimeNow();
    restoring_ = true;
    rdogl_->setChecked(true);
    chkrun_->setChecked(false);
    updyear_->setValue(now.year - kFirstYear);
    edtyear_->setText(QString::number(now.year));
    cbom_->setCurrentIndex(now.month - 1);
    cbod_->setCurrentIndex(now.day - 1);
    cbos_->setCurrentIndex(now.hour);
    cbomin_->setCurrentIndex(now.minute);
    restoring_ = false;
    validateAndHint();
}

void TFrmGTime::UpdyearClick() {
    if (restoring_) return;
    edtyear_->setText(QString::number(updyear_->value() + kFirstYear));
    validateAndHint();
}

void TFrmGTime::BtnokClick() {
    lifetime_ = false;
    const auto moment = checkedMoment(Checking::OnAccepting);
    if (!moment) return;
    const TimeAddition kind = additionKind();
    QLineEdit* edit = kind == TimeAddition::Character ? ledthz_ : ledtnum_;
    const AdditionCheck addition = CheckAddition(kind, edit->text().toStdString());
    if (addition.refusal) {
        showCastMessage(this, *addition.refusal);
        if (addition.clearEdit) edit->clear();
        edit->setFocus();
        return;
    }
    result_ = CastByTime(*moment, addition.value);
    storeEntry();
    accept();
}

void TFrmGTime::BitBtn1Click() {
    lifetime_ = true;
    const auto moment = checkedMoment(Checking::OnAccepting);
    if (!moment) return;
    result_ = CastLifetime(*moment, rdoZhi_->isChecked() ? LifetimeStart::Branch : LifetimeStart::Stem);
    storeEntry();
    accept();
}

}  // namespace qingheng
