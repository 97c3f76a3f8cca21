#include "ui/reference/Untzazhan.h"

#include <QGridLayout>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>

#include "platform/ProgramFolder.h"
#include "reference/ZaZhan.h"
#include "ui/common/Untprompt.h"
#include "ui/common/Unttext.h"
#include "ui/reference/Untreading.h"

namespace qingheng {

TFrmZaZhan::TFrmZaZhan(QWidget* parent) : QDialog(parent) {
    setObjectName("FrmZaZhan");
    setWindowTitle(QStringLiteral("古代杂占"));
    const CategoryReader reader = buildCategoryReader(this, QStringLiteral("占问类别"), "ListBox1", 120, "Memo1");
    ListBox1_ = reader.list;
    Memo1_ = reader.memo;
    auto* close = new QPushButton(QStringLiteral("关闭"), this);
    close->setObjectName("BitBtn1");
    connect(close, &QPushButton::clicked, this, &QDialog::accept);
    reader.grid->addWidget(close, 2, 1, Qt::AlignRight);
    resize(640, 420);

    loadCategories();
    // A click shows the section again even on the chosen item, so edits to the file show.
    connect(ListBox1_, &QListWidget::currentRowChanged, this, &TFrmZaZhan::ListBox1Click);
    connect(ListBox1_, &QListWidget::itemClicked, this, &TFrmZaZhan::ListBox1Click);
}

std::optional<std::vector<std::string>> TFrmZaZhan::readTexts() {
    TextFileLines file = ReadGbkLines(datFileToRead(kZaZhanFile));
    if (!file.found) return std::nullopt;  // a missing file is no error: the list stays empty
    if (!file.status) {
        prompts().stop(this, qstr(file.status.message));
        return std::nullopt;
    }
    return std::move(file.lines);
}

void TFrmZaZhan::loadCategories() {
    const auto lines = readTexts();
    if (!lines) return;
    for (const std::string& category : ZaZhanCategories(*lines)) ListBox1_->addItem(qstr(category));
    if (ListBox1_->count() == 0) return;
    ListBox1_->setCurrentRow(0);
    ListBox1Click();
}

void TFrmZaZhan::ListBox1Click() {
    const QListWidgetItem* item = ListBox1_->currentItem();
    if (!item) return;
    const auto lines = readTexts();
    if (!lines) return;
    Memo1_->setPlainText(qstr(ZaZhanSection(*lines, item->text().toStdString())));
}

}  // namespace qingheng
