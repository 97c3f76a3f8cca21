#pragma once
// TFrmZhouYi: the Zhou Yi reader ("易经卦爻辞"). Pick a palace and a hexagram to read its
// judgement, commentaries and line texts. A modeless window that stays on top; the main
// window keeps at most one.
#include <QDialog>

#include <array>

class QComboBox;
class QLabel;
class QPlainTextEdit;
class QPushButton;

namespace qingheng {

class TFrmZhouYi : public QDialog {
    Q_OBJECT
public:
    explicit TFrmZhouYi(QWidget* parent = nullptr);

protected:
    void showEvent(QShowEvent* event) override;

private:
    void cbogongChange(int palace);
    void cbomingChange(int index);

    QComboBox* cbogong = nullptr;
    QComboBox* cboming = nullptr;
    QLabel* lab0 = nullptr;
    std::array<QLabel*, 6> lines_{};  // lab1 (top line) … lab6
    QPlainTextEdit* memgua = nullptr;
    QPushButton* BitBtn1 = nullptr;
    bool centred_ = false;
};

}  // namespace qingheng
