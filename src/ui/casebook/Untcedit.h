#pragma once
// The category-list editor ("类别编辑"): one category per line, written to the "classes"
// section of dat/lyinit.ini when every line is acceptable.
#include <QDialog>

class QPlainTextEdit;

namespace qingheng {

class TFrmClassEdit : public QDialog {
    Q_OBJECT
public:
    explicit TFrmClassEdit(QWidget* parent = nullptr);

private slots:
    void BtnsaveClick();

private:
    void showLine(int line);

    QPlainTextEdit* Memo1;
};

}  // namespace qingheng
