#include "ui/reference/Untchang.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "casting/StrokeTable.h"
#include "platform/ProgramFolder.h"
#include "reference/StrokeEditor.h"
#include "ui/common/Untprompt.h"
#include "ui/common/Unttext.h"
#include "ui/common/Untwindow.h"

namespace qingheng {
namespace {

constexpr int kCharacterBytes = 2;
constexpr int kCountDigits = 2;

}  // namespace

TFrmChange::TFrmChange(QWidget* parent) : QDialog(parent), table_(datFile(kStrokeTableFile)) {
    setObjectName("FrmChange");
    setWindowTitle(QStringLiteral("修改笔画"));
    ledtin_ = new QLineEdit(this);
    ledtin_->setObjectName("ledtin");
    limitEditBytes(ledtin_, kCharacterBytes);
    ledtnum_ = new QLineEdit(this);
    ledtnum_->setObjectName("ledtnum");
    ledtnum_->setMaxLength(kCountDigits);
    ledtnum_->setToolTip(QStringLiteral("输入新笔画数"));
    auto* search = new QPushButton(QStringLiteral("查找"), this);
    search->setObjectName("BtnSearch");
    search->setAutoDefault(false);
    BtnChange_ = new QPushButton(QStringLiteral("修改"), this);
    BtnChange_->setObjectName("BtnChange");
    BtnChange_->setDefault(true);
    BtnChange_->setEnabled(false);
    connect(search, &QPushButton::clicked, this, &TFrmChange::BtnSearchClick);
    connect(BtnChange_, &QPushButton::clicked, this, &TFrmChange::BtnChangeClick);

    auto* fields = new QFormLayout;
    fields->addRow(QStringLiteral("汉字"), ledtin_);
    fields->addRow(QStringLiteral("笔画数"), ledtnum_);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(search);
    buttons->addWidget(BtnChange_);
    auto* column = new QVBoxLayout(this);
    column->addLayout(fields);
    column->addLayout(buttons);
    resize(260, 120);
    centreOnScreen(this);

    std::error_code ec;
    if (!std::filesystem::exists(table_, ec)) prompts().stop(this, qstr(kStrokeTableMissing));
}

std::optional<std::string> TFrmChange::typedCharacter() {
    auto character = SingleDoubleByteCharacter(ledtin_->text().toStdString());
    if (!character) prompts().stop(this, qstr(kStrokeNotHanzi), QStringLiteral("汉字"));
    return character;
}

void TFrmChange::showNoRecord() { prompts().stop(this, qstr(kStrokeNoRecord)); }

void TFrmChange::BtnSearchClick() {
    const auto character = typedCharacter();
    if (!character) return;
    const StrokeLookup found = LookUpStrokes(table_, *character);
    if (found.noRecord) showNoRecord();
    if (found.count == 0) {
        BtnChange_->setEnabled(false);
        return;
    }
    ledtnum_->setText(QString::number(found.count));
    BtnChange_->setEnabled(true);
}

void TFrmChange::BtnChangeClick() {
    const auto character = typedCharacter();
    if (!character) return;
    const auto count = AcceptedStrokeCount(*character, ledtnum_->text().trimmed().toStdString());
    if (!count) {
        prompts().stop(this, qstr(kStrokeBadCount));
        return;
    }
    const StrokeWrite written = WriteStrokeCount(table_, *character, *count);
    if (written.noRecord) {
        showNoRecord();
        return;
    }
    if (!written.ok) {
        prompts().stop(this, qstr(written.message));
        return;
    }
    BtnChange_->setEnabled(false);
    prompts().info(this, qstr(kStrokeChanged), QStringLiteral("完成"));
}

}  // namespace qingheng
