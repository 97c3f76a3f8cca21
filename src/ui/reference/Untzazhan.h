#pragma once
// TFrmZaZhan "古代杂占": reads the miscellaneous divination texts of dat/zazhan.txt by
// category. The category list is read when the dialog opens; a section is read afresh on
// every click, so edits to the file show at once.
#include <QDialog>

#include <optional>
#include <string>
#include <vector>

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
    // The lines of dat/zazhan.txt; nothing when it is missing or unreadable (that one is reported).
    std::optional<std::vector<std::string>> readTexts();

    QListWidget* ListBox1_ = nullptr;
    QPlainTextEdit* Memo1_ = nullptr;
};

}  // namespace qingheng
