#pragma once
// TFrmZaZhan "古代杂占": reads the miscellaneous divination texts of dat/zazhan.txt by
// category. The category list is read when the dialog opens; a section is read afresh on
// every click, so edits to the file show at once.
#include <QDialog>

class QListWidget;
class QPlainTextEdit;

namespace qingheng {

class TFrmZaZhan : public QDialog {
    Q_OBJECT
public:
    explicit TFrmZaZhan(QWidget* parent = nullptr);

    // Shows the section of the selected category.
    void ListBox1Click();

private:
    void loadCategories();

    QListWidget* ListBox1_ = nullptr;
    QPlainTextEdit* Memo1_ = nullptr;
};

}  // namespace qingheng
