#include "ui/casting/Untgname.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include "ui/casting/Untcastinput.h"
#include "ui/common/Untprompt.h"

namespace qingheng {

namespace {
constexpr std::array<const char*, 6> kMovingCaptions = {"初爻", "二爻", "三爻", "四爻", "五爻", "上爻"};
}

CastButtons createCastButtons(QDialog* dialog) {
    auto* ok = new QPushButton(QStringLiteral("布卦"), dialog);
    ok->setObjectName("Btnok");
    ok->setDefault(true);
    auto* cancel = new QPushButton(QStringLiteral("取消"), dialog);
    cancel->setObjectName("Btncan");
    cancel->setAutoDefault(false);
    QObject::connect(cancel, &QPushButton::clicked, dialog, &QDialog::reject);
    return {ok, cancel};
}

QGroupBox* createMovingLineBoxes(QWidget* parent) {
    auto* group = new QGroupBox(QStringLiteral("动爻"), parent);
    group->setObjectName("GrpMoving");
    auto* column = new QVBoxLayout(group);
    for (int k = 5; k >= 0; --k) {  // top line first, as the lines are drawn
        auto* box = new QCheckBox(QString::fromUtf8(kMovingCaptions[k]), group);
        box->setObjectName(QStringLiteral("Chk%1").arg(k));
        column->addWidget(box);
    }
    return group;
}

MovingLines tickedMovingLines(const QGroupBox* group) {
    MovingLines moving{};
    for (int k = 0; k < 6; ++k) {
        const auto* box = group->findChild<QCheckBox*>(QStringLiteral("Chk%1").arg(k));
        moving[k] = box && box->isChecked();
    }
    return moving;
}

TFrmGName::TFrmGName(QWidget* parent) : QDialog(parent) {
    setObjectName("FrmGName");
    setWindowTitle(QStringLiteral("卦名起卦法"));

    grid_ = new QTableWidget(kNameGridRows, kNameGridColumns, this);
    grid_->setObjectName("sgridgua");
    grid_->horizontalHeader()->hide();
    grid_->verticalHeader()->hide();
    grid_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grid_->setSelectionMode(QAbstractItemView::SingleSelection);
    for (int col = 0; col < kNameGridColumns; ++col) {
        for (int row = 0; row < kNameGridRows; ++row)
            grid_->setItem(row, col, new QTableWidgetItem(qstr(NameGridCell(col, row))));
    }
    grid_->resizeColumnsToContents();
    grid_->setCurrentCell(1, 0);

    moving_ = createMovingLineBoxes(this);
    const auto [btnok, btncan] = createCastButtons(this);
    connect(btnok, &QPushButton::clicked, this, &TFrmGName::BtnokClick);

    auto* side = new QVBoxLayout;
    side->addWidget(moving_);
    side->addStretch();
    side->addWidget(btnok);
    side->addWidget(btncan);
    auto* layout = new QHBoxLayout(this);
    layout->addWidget(grid_, 1);
    layout->addLayout(side);
    resize(720, 360);
}

void TFrmGName::BtnokClick() {
    const QTableWidgetItem* cell = grid_->currentItem();
    const auto result =
        cell ? CastByNameCell(cell->text().toStdString(), grid_->currentRow(), tickedMovingLines(moving_))
             : std::nullopt;
    if (!result) {
        // A palace heading names no hexagram.
        prompts().info(this, QStringLiteral("请选择一个卦名"));
        return;
    }
    result_ = *result;
    accept();
}

}  // namespace qingheng
