#include "ui/reference/Untduanyu.h"

#include <QGridLayout>
#include <QLabel>
#include <QListWidget>
#include <QPlainTextEdit>

#include "platform/ProgramFolder.h"
#include "reference/PhraseBook.h"
#include "ui/common/Untprompt.h"
#include "ui/common/Unttext.h"
#include "ui/common/Untwindow.h"

namespace qingheng {

TFrmDuanYu::TFrmDuanYu(QWidget* parent) : QDialog(parent, Qt::Dialog | Qt::WindowStaysOnTopHint) {
    setObjectName("FrmDuanYu");
    setWindowTitle(QStringLiteral("六爻断语"));
    lstsel_ = new QListWidget(this);
    lstsel_->setObjectName("lstsel");
    lstsel_->setCursor(Qt::PointingHandCursor);
    lstsel_->setFixedWidth(90);
    for (std::string_view category : kPhraseCategories) lstsel_->addItem(qstr(category));
    Memlst_ = new QPlainTextEdit(this);
    Memlst_->setObjectName("Memlst");
    Memlst_->setReadOnly(true);
    Memlst_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);

    auto* grid = new QGridLayout(this);
    grid->addWidget(new QLabel(QStringLiteral("分类"), this), 0, 0);
    grid->addWidget(lstsel_, 1, 0);
    grid->addWidget(Memlst_, 0, 1, 2, 1);
    grid->setColumnStretch(1, 1);
    resize(620, 420);

    lstsel_->setCurrentRow(0);
    lstselClick();
    connect(lstsel_, &QListWidget::currentRowChanged, this, &TFrmDuanYu::lstselClick);
    centreOnScreen(this);
}

void TFrmDuanYu::lstselClick() {
    const QListWidgetItem* item = lstsel_->currentItem();
    if (!item) return;
    const PhraseSection section = ReadPhraseSection(datFileToRead(kPhraseBookFile), item->text().toStdString());
    if (!section.found) return;  // without the file the memo keeps what it shows
    if (!section.status) {
        prompts().stop(this, qstr(section.status.message));
        return;
    }
    Memlst_->setPlainText(qstr(section.text));
}

}  // namespace qingheng
