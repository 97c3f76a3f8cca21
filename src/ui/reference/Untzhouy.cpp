#include "ui/reference/Untzhouy.h"

#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "reference/ZhouYiReader.h"
#include "ui/common/Unttext.h"
#include "ui/common/Untwindow.h"
#include "ui/reference/Untreading.h"

namespace qingheng {

TFrmZhouYi::TFrmZhouYi(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowStaysOnTopHint | Qt::WindowTitleHint |
                          Qt::WindowCloseButtonHint) {
    setObjectName("FrmZhouYi");
    setWindowTitle(QStringLiteral("易经卦爻辞"));
    setAttribute(Qt::WA_DeleteOnClose);

    cbogong = new QComboBox(this);
    cbogong->setObjectName("cbogong");
    cboming = new QComboBox(this);
    cboming->setObjectName("cboming");
    lab0 = new QLabel(this);
    lab0->setObjectName("lab0");
    lab0->setStyleSheet("color: #800000; font-weight: bold; font-size: 16px;");
    lab0->setAlignment(Qt::AlignCenter);
    lab0->setMinimumWidth(120);  // four-character names fit; the window keeps its first size
    for (int k = 0; k < 6; ++k) {
        lines_[k] = new QLabel(this);
        lines_[k]->setObjectName(QStringLiteral("lab%1").arg(k + 1));
        lines_[k]->setStyleSheet("font-weight: bold; font-size: 14px;");
    }
    memgua = makeReadingMemo(this, "memgua");
    memgua->setMinimumSize(460, 380);
    BitBtn1 = new QPushButton(QStringLiteral("关闭"), this);
    BitBtn1->setObjectName("BitBtn1");
    connect(BitBtn1, &QPushButton::clicked, this, &QWidget::close);

    auto* choice = new QFormLayout;
    choice->addRow(QStringLiteral("卦宫"), cbogong);
    choice->addRow(QStringLiteral("卦名"), cboming);
    auto* left = new QVBoxLayout;
    left->addLayout(choice);
    left->addSpacing(12);
    left->addWidget(lab0, 0, Qt::AlignHCenter);
    for (QLabel* line : lines_) left->addWidget(line, 0, Qt::AlignHCenter);
    left->addStretch();
    left->addWidget(BitBtn1, 0, Qt::AlignHCenter);
    auto* layout = new QHBoxLayout(this);
    layout->addLayout(left);
    layout->addWidget(memgua, 1);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    connect(cbogong, &QComboBox::currentIndexChanged, this, &TFrmZhouYi::cbogongChange);
    connect(cboming, &QComboBox::currentIndexChanged, this, &TFrmZhouYi::cbomingChange);
    {
        const QSignalBlocker quiet(cbogong);
        for (std::string_view name : kTrigramNames) cbogong->addItem(qstr(name));
    }
    cbogong->setCurrentIndex(0);
    cbogongChange(0);
}

void TFrmZhouYi::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (centred_) return;
    centred_ = true;
    centreOnScreen(this);  // once laid out: the size is known only now
}

void TFrmZhouYi::cbogongChange(int palace) {
    if (palace < 0) return;
    const QSignalBlocker quiet(cboming);
    cboming->clear();
    for (const std::string& name : ReaderNames(palace)) cboming->addItem(qstr(name));
    cboming->setCurrentIndex(0);
    cbomingChange(0);
}

void TFrmZhouYi::cbomingChange(int index) {
    const int palace = cbogong->currentIndex();
    if (palace < 0 || index < 0) return;
    const std::string name = cboming->itemText(index).toStdString();
    lab0->setText(qstr(name));
    const std::string code = ReaderLineCode(name, index).value_or("");
    for (int k = 0; k < 6; ++k) lines_[k]->setText(k < int(code.size()) ? qstr(ReaderGlyph(code[k])) : QString());
    memgua->setPlainText(qstr(ReaderText(palace, index)));
}

}  // namespace qingheng
