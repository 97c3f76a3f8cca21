#include "ui/reference/Untduanyu.h"

#include <QListWidget>
#include <QPlainTextEdit>

#include "platform/ProgramFolder.h"
#include "reference/PhraseBook.h"
#include "ui/common/Untprompt.h"
#include "ui/common/Unttext.h"
#include "ui/common/Untwindow.h"
#include "ui/reference/Untreading.h"

namespace qingheng {

TFrmDuanYu::TFrmDuanYu(QWidget* parent) : QDialog(parent, Qt::Dialog | Qt::WindowStaysOnTopHint) {
    setObjectName("FrmDuanYu");
    setWindowTitle(QStringLiteral("六爻断语"));
    const CategoryReader reader = buildCategoryReader(this, QStringLiteral("分类"), "lstsel", 90, "Memlst");
    lstsel_ = reader.list;
    Memlst_ = reader.memo;
    for (std::string_view category : kPhraseCategories) lstsel_->addItem(qstr(category));
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
