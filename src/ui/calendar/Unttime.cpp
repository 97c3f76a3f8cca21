#include "ui/calendar/Unttime.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QToolButton>

#include "ui/common/Untdatelists.h"
#include "ui/common/Untprompt.h"
#include "ui/common/Unttext.h"

namespace qingheng {

TFrmTime::TFrmTime(CastingTime& time, QWidget* parent) : QDialog(parent), time_(time) {
    setObjectName("FrmTime");
    setWindowTitle(QStringLiteral("起卦时间"));

    auto* label = new QLabel(QStringLiteral("这是起卦时的时间，这个时间是显示干支的"), this);
    label->setObjectName("Label1");
    Rdogl_ = new QRadioButton(QStringLiteral("公历"), this);
    Rdogl_->setObjectName("Rdogl");
    Rdonl_ = new QRadioButton(QStringLiteral("农历"), this);
    Rdonl_->setObjectName("Rdonl");
    auto* calendarGroup = new QButtonGroup(this);
    calendarGroup->addButton(Rdogl_);
    calendarGroup->addButton(Rdonl_);
    Chkrun_ = new QCheckBox(QStringLiteral("农历闰月"), this);
    Chkrun_->setObjectName("Chkrun");
    Edtyear_ = new QLineEdit(this);
    Edtyear_->setObjectName("Edtyear");
    Updyear_ = new QSpinBox(this);
    Updyear_->setObjectName("Updyear");
    linkYearUpDown(Edtyear_, Updyear_);
    auto* now = new QToolButton(this);
    now->setObjectName("SpeedButton1");
    now->setText(QStringLiteral("现在"));
    now->setToolTip(QStringLiteral("现在时间"));
    createDateLists(this, cbom_, cbod_, cbos_, cbomin_);
    auto* ok = new QPushButton(QStringLiteral("确定"), this);
    ok->setObjectName("Btnok");
    ok->setDefault(true);
    auto* cancel = new QPushButton(QStringLiteral("取消"), this);
    cancel->setObjectName("BitBtn1");

    auto* grid = new QGridLayout(this);
    grid->addWidget(label, 0, 0, 1, 4);
    auto* calendarRow = new QHBoxLayout;
    calendarRow->addWidget(Rdogl_);
    calendarRow->addWidget(Rdonl_);
    calendarRow->addWidget(Chkrun_);
    calendarRow->addStretch();
    grid->addLayout(calendarRow, 1, 0, 1, 4);
    auto* yearRow = new QHBoxLayout;
    yearRow->addWidget(new QLabel(QStringLiteral("年"), this));
    yearRow->addWidget(Edtyear_);
    yearRow->addWidget(Updyear_);
    yearRow->addWidget(now);
    yearRow->addStretch();
    grid->addLayout(yearRow, 2, 0, 1, 4);
    grid->addWidget(cbom_, 3, 0);
    grid->addWidget(cbod_, 3, 1);
    grid->addWidget(cbos_, 3, 2);
    grid->addWidget(cbomin_, 3, 3);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    grid->addLayout(buttons, 4, 0, 1, 4);

    connect(now, &QToolButton::clicked, this, &TFrmTime::SpeedButton1Click);
    connect(ok, &QPushButton::clicked, this, &TFrmTime::BtnokClick);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);

    loadFrom(time_);
    if (parent) placeAtCentreOf(parent->window());
}

void TFrmTime::placeAtCentreOf(QWidget* owner) {
    const QRect frame = owner->frameGeometry();
    move(frame.left() + frame.width() / 2, frame.top() + frame.height() / 2);
}

void TFrmTime::loadFrom(const CastingTime& time) {
    Chkrun_->setChecked(time.leap != 0);
    (time.lunar ? Rdonl_ : Rdogl_)->setChecked(true);
    showYear(Edtyear_, Updyear_, time.year);
    cbom_->setCurrentIndex(time.month - 1);
    cbod_->setCurrentIndex(time.day - 1);
    cbos_->setCurrentIndex(time.hour);
    cbomin_->setCurrentIndex(time.minute);
}

void TFrmTime::SpeedButton1Click() { loadFrom(CastingTimeNow()); }

void TFrmTime::BtnokClick() {
    const int year = yearFromEdit(Edtyear_);
    if (!IsSupportedYear(year)) {
        prompts().message(this, qstr(kCastingYearText), QStringLiteral("时间错误"), PromptIcon::Stop);
        Edtyear_->setFocus();
        return;
    }
    time_.year = static_cast<std::int16_t>(year);
    time_.lunar = Rdonl_->isChecked() ? 1 : 0;
    time_.leap = Chkrun_->isChecked() ? 1 : 0;
    time_.month = static_cast<std::int16_t>(cbom_->currentIndex() + 1);
    time_.day = static_cast<std::int16_t>(cbod_->currentIndex() + 1);
    time_.hour = static_cast<std::int16_t>(cbos_->currentIndex());
    time_.minute = static_cast<std::int16_t>(cbomin_->currentIndex());
    accept();
}

}  // namespace qingheng
