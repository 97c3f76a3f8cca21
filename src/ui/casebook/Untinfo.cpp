#include "ui/casebook/Untinfo.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>

#include "calendar/YearRange.h"
#include "ui/casebook/Untflei.h"
#include "ui/common/Untdatelists.h"
#include "ui/common/Untprompt.h"
#include "vocab/Signs.h"

namespace qingheng {
namespace {

QComboBox* makeList(QWidget* parent, const char* name) {
    auto* box = new QComboBox(parent);
    box->setObjectName(name);
    return box;
}

QComboBox* makeEditableList(QWidget* parent, const char* name, int maxLength) {
    auto* box = makeList(parent, name);
    box->setEditable(true);
    box->setInsertPolicy(QComboBox::NoInsert);
    box->lineEdit()->setMaxLength(maxLength);
    limitEditBytes(box->lineEdit(), maxLength);
    return box;
}

void selectItem(QComboBox* box, int index) { box->setCurrentIndex(index >= 0 && index < box->count() ? index : -1); }

}  // namespace

TFrmInfo::TFrmInfo(const CaseRecord& record, QWidget* parent) : QDialog(parent), record_(record) {
    setObjectName("FrmInfo");
    setWindowTitle(QStringLiteral("卦例信息"));
    buildControls();
    showRecord();
}

void TFrmInfo::buildControls() {
    Edtname = new QLineEdit(this);
    Edtname->setObjectName("Edtname");
    Edtname->setMaxLength(10);
    limitEditBytes(Edtname, caseFieldInfo(CaseField::Name).maxBytes);
    EdtYear = new QLineEdit(this);
    EdtYear->setObjectName("EdtYear");
    EdtYear->setMaxLength(4);
    UpDyear = new QSpinBox(this);
    UpDyear->setObjectName("UpDyear");
    UpDyear->setRange(0, kLastYear - kFirstYear);
    UpDyear->setFixedWidth(18);  // only its arrows show; the year is in EdtYear
    connect(UpDyear, &QSpinBox::valueChanged, this, &TFrmInfo::UpDyearClick);

    createDateLists(this, cbom, cbod, cbos, cbomin);

    Rdogl = new QRadioButton(QStringLiteral("公历"), this);
    Rdogl->setObjectName("Rdogl");
    Rdonl = new QRadioButton(QStringLiteral("农历"), this);
    Rdonl->setObjectName("Rdonl");
    Chkrun = new QCheckBox(QStringLiteral("农历闰月"), this);
    Chkrun->setObjectName("Chkrun");

    CboFenLei = makeEditableList(this, "CboFenLei", 12);
    fillCategories(CboFenLei, MissingCategory::DefaultName);
    CboEvent = makeEditableList(this, "CboEvent", 40);
    lstqu = makeList(this, "lstqu");
    for (const std::string_view name : kRelativeNames) lstqu->addItem(QString::fromUtf8(name.data(), name.size()));
    Memo1 = new QPlainTextEdit(this);
    Memo1->setObjectName("Memo1");
    limitMemoLength(Memo1, 1000);
    limitMemoBytes(Memo1, caseFieldInfo(CaseField::Extra).maxBytes);

    auto* save = new QPushButton(QStringLiteral("保存"), this);
    save->setObjectName("Btnsave");
    auto* close = new QPushButton(QStringLiteral("关闭"), this);
    close->setObjectName("Btnclose");
    connect(save, &QPushButton::clicked, this, &TFrmInfo::BtnsaveClick);
    connect(close, &QPushButton::clicked, this, &QDialog::reject);

    auto* grid = new QGridLayout(this);
    auto label = [this](const char* text) { return new QLabel(QString::fromUtf8(text), this); };
    grid->addWidget(label("姓名"), 0, 0);
    grid->addWidget(Edtname, 0, 1);
    grid->addWidget(label("类别"), 0, 2);
    grid->addWidget(CboFenLei, 0, 3);

    auto* date = new QHBoxLayout;
    date->setSpacing(2);
    date->addWidget(EdtYear);
    date->addWidget(UpDyear);
    date->addWidget(label("年"));
    for (QComboBox* box : {cbom, cbod, cbos, cbomin}) date->addWidget(box);
    grid->addWidget(label("起卦时间"), 1, 0);
    grid->addLayout(date, 1, 1, 1, 3);

    auto* calendar = new QHBoxLayout;
    calendar->addWidget(Rdogl);
    calendar->addWidget(Rdonl);
    calendar->addWidget(Chkrun);
    calendar->addStretch();
    grid->addLayout(calendar, 2, 1, 1, 3);

    grid->addWidget(label("占问事宜"), 3, 0);
    grid->addWidget(CboEvent, 3, 1);
    grid->addWidget(label("用神"), 3, 2);
    grid->addWidget(lstqu, 3, 3);
    grid->addWidget(label("附加信息"), 4, 0, Qt::AlignTop);
    grid->addWidget(Memo1, 4, 1, 1, 3);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(save);
    buttons->addWidget(close);
    grid->addLayout(buttons, 5, 0, 1, 4);
    grid->setColumnStretch(1, 3);
    grid->setColumnStretch(3, 2);
    resize(540, 360);
}

void TFrmInfo::showRecord() {
    const CaseRecord& r = record_;
    EdtYear->setText(QString::number(r.year));
    {
        const QSignalBlocker quiet(UpDyear);
        UpDyear->setValue(r.year - kFirstYear);
    }
    selectItem(cbom, r.month - 1);
    selectItem(cbod, r.day - 1);
    selectItem(cbos, r.hour);
    selectItem(cbomin, r.minute);
    Rdogl->setChecked(!r.lunar);
    Rdonl->setChecked(r.lunar);
    Chkrun->setChecked(r.leap);
    Edtname->setText(QString::fromStdString(r.name));
    CboFenLei->setCurrentText(QString::fromStdString(r.category));
    CboEvent->setCurrentText(QString::fromStdString(r.question));
    selectItem(lstqu, static_cast<int>(r.useGod));
    Memo1->setPlainText(storedToMemo(r.extra));
}

void TFrmInfo::UpDyearClick(int position) { EdtYear->setText(QString::number(kFirstYear + position)); }

void TFrmInfo::BtnsaveClick() {
    if (!prompts().question(this, QStringLiteral("确定要保存修改吗？"), QStringLiteral("提示"),
                            PromptIcon::Information)) {
        return;
    }
    const QString name = trimBlanks(Edtname->text());
    if (name.isEmpty()) {
        prompts().info(this, QStringLiteral("姓名不能为空"));
        return;
    }
    if (!acceptCaseText(this, CaseField::Name, name)) return;
    bool isNumber = false;
    const int year = EdtYear->text().trimmed().toInt(&isNumber);
    if (!isNumber || !IsSupportedYear(year)) {
        prompts().warn(this, qstr(kRecordYearText), QStringLiteral("年份错误"));
        EdtYear->setFocus();
        return;
    }
    CaseRecord& r = record_;
    r.year = static_cast<std::int16_t>(year);
    r.month = static_cast<std::int16_t>(cbom->currentIndex() + 1);
    r.day = static_cast<std::int16_t>(cbod->currentIndex() + 1);
    r.hour = static_cast<std::int16_t>(std::max(cbos->currentIndex(), 0));
    r.minute = static_cast<std::int16_t>(std::max(cbomin->currentIndex(), 0));
    r.lunar = Rdonl->isChecked();
    r.leap = Chkrun->isChecked();
    r.useGod = static_cast<std::uint32_t>(std::max(lstqu->currentIndex(), 0));
    r.name = name.toStdString();

    const QString extra = trimBlanks(Memo1->toPlainText());
    if (extra.isEmpty()) {
        prompts().stop(this, QStringLiteral("附加信息不能为空"));
        return;
    }
    const std::string storedExtra = memoToStored(extra);
    if (!acceptCaseText(this, CaseField::Extra, QString::fromStdString(storedExtra))) return;
    r.extra = storedExtra;

    const QString category = trimBlanks(CboFenLei->currentText());
    if (category.isEmpty()) {
        prompts().stop(this, QStringLiteral("类别不能为空"));
        return;
    }
    if (!acceptCaseText(this, CaseField::Category, category)) return;
    r.category = category.toStdString();

    const QString question = trimBlanks(CboEvent->currentText());
    if (question.isEmpty()) {
        prompts().stop(this, QStringLiteral("占问事宜不能为空"));
        return;
    }
    if (!acceptCaseText(this, CaseField::Question, question)) return;
    r.question = question.toStdString();
    accept();
}

}  // namespace qingheng
