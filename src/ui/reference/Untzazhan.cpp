#include "ui/reference/Untzazhan.h"

#include <QGridLayout>
#include <QLabel>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>

#include "platform/ProgramFolder.h"
#include "reference/ZaZhan.h"
#include "ui/common/Untprompt.h"
#include "ui/common/Unttext.h"

namespace qingheng {

TFrmZaZhan::TFrmZaZhan(QWidget* parent) : QDialog(parent) {
    setObjectName("FrmZaZhan");
    setWindowTitle(QStringLiteral("古代杂占"));
    ListBox1_ = new QListWidget(this);
    ListBox1_->setObjectName("ListBox1");
    ListBox1_->setCursor(Qt::PointingHandCursor);
    ListBox1_->setFixedWidth(120);
    Memo1_ = new QPlainTextEdit(this);
    Memo1_->setObjectName("Memo1");
    Memo1_->setReadOnly(true);
    Memo1_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    auto* close = new QPushButton(QStringLiteral("关闭"), this);
    close->setObjectName("BitBtn1");
    connect(close, &QPushButton::clicked, this, &QDialog::accept);

    auto* grid = new QGridLayout(this);
    grid->addWidget(new QLabel(QStringLiteral("占问类别"), this), 0, 0);
    grid->addWidget(ListBox1_, 1, 0);
    grid->addWidget(Memo1_, 0, 1, 2, 1);
    grid->addWidget(close, 2, 1, Qt::AlignRight);
    grid->setColumnStretch(1, 1);
    resize(640, 420);

    loadCategories();
    // A click shows the section again even on the chosen item, so edits to the file show.
    connect(ListBox1_, &QListWidget::currentRowChanged, this, &TFrmZaZhan::ListBox1Click);
    connect(ListBox1_, &QListWidget::itemClicked, this, &TFrmZaZhan::ListBox1Click);
}

void TFrmZaZhan::loadCategories() {
    const TextFileLines file = ReadGbkLines(datFileToRead(kZaZhanFile));
    if (!file.found) return;
    if (!file.status) {
        prompts().stop(this, qstr(file.status.message));
        return;
    }
    for (const std::string& category : ZaZhanCategories(file.lines)) ListBox1_->addItem(qstr(category));
    if (ListBox1_->count() == 0) return;
    ListBox1_->setCurrentRow(0);
    ListBox1Click();
}

void TFrmZaZhan::ListBox1Click() {
    const QListWidgetItem* item = ListBox1_->currentItem();
    if (!item) return;
    const TextFileLines file = ReadGbkLines(datFileToRead(kZaZhanFile));
    if (!file.found) return;
    if (!file.status) {
        prompts().stop(this, qstr(file.status.message));
        return;
    }
    Memo1_->setPlainText(qstr(ZaZhanSection(file.lines, item->text().toStdString())));
}

}  // namespace qingheng
