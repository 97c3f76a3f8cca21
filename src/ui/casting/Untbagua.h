#pragma once
// TFrmGua "铜钱摇卦法": six lines entered by hand from real coins, or thrown by the computer
// with three spinning coins. Accepted only through "布卦".
#include <QDialog>

#include <array>

#include "casting/Casting.h"
#include "casting/CoinThrow.h"

class QButtonGroup;
class QGroupBox;
class QLabel;
class QPushButton;
class QTimer;

namespace qingheng {

class TFrmGua : public QDialog {
    Q_OBJECT
public:
    explicit TFrmGua(QWidget* parent = nullptr);

    bool accepted() const { return accepted_; }
    const std::string& mainCode() const { return result_.mainCode; }
    const std::string& changedCode() const { return result_.changedCode; }
    const CastResult& castResult() const { return result_; }
    const CoinThrow& coinThrow() const { return throw_; }

    // Item chosen in radio group k (0 = top line).
    int itemOf(int group) const;
    void setItem(int group, int item);

private slots:
    void BtnsokClick();
    void BtosatClick();
    void BtostopClick();
    void BtnrestureClick();
    void Timer1Timer();

private:
    QGroupBox* makeLineGroup(int k);
    QWidget* makeSimulationPanel();
    void showCoins();

    std::array<QButtonGroup*, 6> groups_{};
    std::array<QLabel*, CoinThrow::kCoins> coins_{};
    QPushButton* btosat_ = nullptr;
    QPushButton* btostop_ = nullptr;
    QPushButton* btnresture_ = nullptr;
    QTimer* timer_ = nullptr;
    CoinThrow throw_;
    bool accepted_ = false;
    CastResult result_;
};

// The two coin pictures drawn by the program: side 0 the face, 1 the back.
QPixmap coinPicture(int side);

}  // namespace qingheng
