#include "ui/casebook/Untset.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "platform/Settings.h"
#include "ui/common/Untprompt.h"

namespace qingheng {
namespace {

void selectItem(QButtonGroup* group, int index) {
    QAbstractButton* button = group->button(index);
    if (!button) button = group->button(0);  // a stored value out of range shows the default
    button->setChecked(true);
}

}  // namespace

TFrmSet::TFrmSet(QWidget* parent) : QDialog(parent) {
    setObjectName("FrmSet");
    setWindowTitle(QStringLiteral("排盘设置"));

    GrpQianGua = makeGroup("GrpQianGua", QStringLiteral("乾卦初爻"),
                           {QStringLiteral("从子起"), QStringLiteral("从午起")}, qianGuaItems);
    ChkNaGan = new QCheckBox(QStringLiteral("显示六爻纳干"), this);
    ChkNaGan->setObjectName("ChkNaGan");
    GrpTimeGua = makeGroup("GrpTimeGua", QStringLiteral("时间起卦"),
                           {QStringLiteral("月份以节入定"), QStringLiteral("月份以农历定")}, timeGuaItems);

    const ChartSettings settings = readChartSettings();
    selectItem(qianGuaItems, settings.qiangua);
    ChkNaGan->setChecked(settings.nagan);
    selectItem(timeGuaItems, settings.timegua);

    auto* ok = new QPushButton(QStringLiteral("设置"), this);
    ok->setObjectName("Btnok");
    ok->setDefault(true);
    auto* cancel = new QPushButton(QStringLiteral("取消"), this);
    cancel->setObjectName("Btncancel");
    connect(ok, &QPushButton::clicked, this, &TFrmSet::BtnokClick);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(GrpQianGua);
    layout->addWidget(ChkNaGan);
    layout->addWidget(GrpTimeGua);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    layout->addLayout(buttons);
}

QGroupBox* TFrmSet::makeGroup(const char* name, const QString& title, const QStringList& items, QButtonGroup*& group) {
    auto* box = new QGroupBox(title, this);
    box->setObjectName(name);
    group = new QButtonGroup(box);
    auto* layout = new QVBoxLayout(box);
    for (int i = 0; i < items.size(); ++i) {
        auto* radio = new QRadioButton(items[i], box);
        group->addButton(radio, i);
        layout->addWidget(radio);
    }
    return box;
}

void TFrmSet::BtnokClick() {
    ChartSettings settings;
    settings.qiangua = qianGuaItems->checkedId();
    settings.nagan = ChkNaGan->isChecked();
    settings.timegua = timeGuaItems->checkedId();
    if (const Status s = writeChartSettings(settings); !s) {
        prompts().stop(this, QString::fromStdString(s.message));
        return;
    }
    accept();
}

}  // namespace qingheng
