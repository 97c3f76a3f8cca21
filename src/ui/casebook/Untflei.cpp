#include "ui/casebook/Untflei.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>

#include "platform/ProgramFolder.h"
#include "ui/common/Untprompt.h"
#include "ui/common/Unttext.h"

namespace qingheng {

void fillCategories(QComboBox* box, MissingCategory missing) {
    const IniFile ini(datFile(kLyInitFile));
    for (const std::string& name : readCategories(ini, missing)) box->addItem(QString::fromStdString(name));
}

TFrmFenLei::TFrmFenLei(QWidget* parent) : QDialog(parent) {
    setObjectName("FrmFenLei");
    setWindowTitle(QStringLiteral("分类保存"));

    CboFenLei = new QComboBox(this);
    CboFenLei->setObjectName("CboFenLei");
    CboFenLei->setEditable(true);
    CboFenLei->setInsertPolicy(QComboBox::NoInsert);
    CboFenLei->lineEdit()->setMaxLength(13);
    limitEditBytes(CboFenLei->lineEdit(), caseFieldInfo(CaseField::Category).maxBytes);
    CboFenLei->setMaxVisibleItems(16);
    fillCategories(CboFenLei, MissingCategory::DefaultName);
    CboFenLei->setCurrentIndex(CboFenLei->count() > 0 ? 0 : -1);

    Memo1 = new QPlainTextEdit(this);
    Memo1->setObjectName("Memo1");
    Memo1->setPlainText(QStringLiteral("备注:"));
    limitMemoLength(Memo1, 801);
    limitMemoBytes(Memo1, caseFieldInfo(CaseField::Extra).maxBytes);

    auto* ok = new QPushButton(QStringLiteral("确定"), this);
    ok->setObjectName("Btnok");
    ok->setDefault(true);
    auto* cancel = new QPushButton(QStringLiteral("取消"), this);
    cancel->setObjectName("Btncancel");
    connect(ok, &QPushButton::clicked, this, &TFrmFenLei::BtnokClick);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);

    auto* grid = new QGridLayout(this);
    grid->addWidget(new QLabel(QStringLiteral("保存类别"), this), 0, 0);
    grid->addWidget(CboFenLei, 0, 1);
    grid->addWidget(new QLabel(QStringLiteral("附加信息"), this), 1, 0, Qt::AlignTop);
    grid->addWidget(Memo1, 1, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    grid->addLayout(buttons, 2, 0, 1, 2);
    resize(360, 260);
}

// A category typed here joins the list, as the user expects to find it next time.
void TFrmFenLei::addToCategoryList(const QString& category) {
    IniFile ini(datFile(kLyInitFile));
    if (!appendCategory(ini, category.toStdString())) return;
    if (const Status saved = ini.save(); !saved) prompts().warn(this, QString::fromStdString(saved.message));
}

void TFrmFenLei::BtnokClick() {
    const QString category = trimBlanks(CboFenLei->currentText());
    const QString extra = trimBlanks(Memo1->toPlainText());
    if (category.isEmpty()) {
        prompts().stop(this, QStringLiteral("类别名不能为空"));
        return;
    }
    if (extra.isEmpty()) {
        prompts().stop(this, QStringLiteral("附加信息不能为空"));
        return;
    }
    if (!acceptCaseText(this, CaseField::Category, category)) return;
    if (!acceptCaseText(this, CaseField::Extra, QString::fromStdString(memoToStored(extra)))) return;
    category_ = category;
    extra_ = extra;
    addToCategoryList(category);
    accept();
}

}  // namespace qingheng

namespace qingheng {

void TFrmFenLei::applyTo(CaseRecord& record) const {
    record.category = category_.toStdString();
    record.extra = memoToStored(extra_);
}

}  // namespace qingheng
