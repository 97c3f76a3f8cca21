#pragma once
// TFrmDuanYu "六爻断语": the phrase book. Lists the stock judgement phrases of a question
// category from dat/meihy.dat. The main window keeps at most one open.
#include <QDialog>

class QListWidget;
class QPlainTextEdit;

namespace qingheng {

class TFrmDuanYu : public QDialog {
    Q_OBJECT
public:
    explicit TFrmDuanYu(QWidget* parent = nullptr);

    // Shows the phrases of the selected category.
    void lstselClick();

private:
    QListWidget* lstsel_ = nullptr;
    QPlainTextEdit* Memlst_ = nullptr;
};

}  // namespace qingheng
