#include "ui/casting/Untgother.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include "casting/NameCasting.h"
#include "ui/casting/Untcastinput.h"
#include "ui/casting/Untgname.h"

namespace qingheng {

namespace {

QListWidget* MakeTrigramList(QWidget* parent, const char* name) {
    auto* list = new QListWidget(parent);
    list->setObjectName(name);
    for (std::string_view entry : kTrigramEntries) list->addItem(qstr(entry));
    list->setCurrentRow(0);
    return list;
}

}  // namespace

TFrmGuaOther::TFrmGuaOther(QWidget* parent) : QDialog(parent) {
    setObjectName("FrmGuaOther");
    setWindowTitle(QStringLiteral("其它起卦法"));
    upper_ = MakeTrigramList(this, "ListBox1");
    lower_ = MakeTrigramList(this, "ListBox2");
    moving_ = createMovingLineBoxes(this);
    const auto [btnok, btncan] = createCastButtons(this);
    connect(btnok, &QPushButton::clicked, this, &TFrmGuaOther::BtnokClick);

    auto* layout = new QGridLayout(this);
    layout->addWidget(new QLabel(QStringLiteral("上卦"), this), 0, 0);
    layout->addWidget(new QLabel(QStringLiteral("下卦"), this), 0, 1);
    layout->addWidget(upper_, 1, 0);
    layout->addWidget(lower_, 1, 1);
    layout->addWidget(moving_, 1, 2);
    auto* buttons = new QVBoxLayout;
    buttons->addStretch();
    buttons->addWidget(btnok);
    buttons->addWidget(btncan);
    layout->addLayout(buttons, 1, 3);
    resize(420, 260);
}

void TFrmGuaOther::BtnokClick() {
    result_ = CastByTrigrams(std::max(upper_->currentRow(), 0), std::max(lower_->currentRow(), 0),
                             tickedMovingLines(moving_), CastingMethod::Other);
    accepted_ = true;
    accept();
}

}  // namespace qingheng
