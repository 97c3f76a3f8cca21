#pragma once
// Controls the reading windows share: the read-only text pane they show a text in, and the
// two-pane layout of the category readers (六爻断语, 古代杂占).
class QGridLayout;
class QListWidget;
class QPlainTextEdit;
class QString;
class QWidget;

namespace qingheng {

// A read-only text pane with its vertical scroll bar always shown.
QPlainTextEdit* makeReadingMemo(QWidget* parent, const char* name);

// A category reader: a label over the category list (hand cursor, fixed width) on the left,
// the reading memo on the right taking the spare width.
struct CategoryReader {
    QListWidget* list = nullptr;
    QPlainTextEdit* memo = nullptr;
    QGridLayout* grid = nullptr;  // label row 0 and list row 1 in column 0; the memo spans both in column 1
};
CategoryReader buildCategoryReader(QWidget* window, const QString& label, const char* listName, int listWidth,
                                   const char* memoName);

}  // namespace qingheng
