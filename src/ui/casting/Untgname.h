#pragma once
// TFrmGName "卦名起卦法": the 64 hexagram names in an 8 x 9 grid (one column per palace),
// with the moving lines ticked below.
#include <QDialog>

#include "casting/Casting.h"
#include "casting/NameCasting.h"

class QDialog;
class QGroupBox;
class QPushButton;
class QTableWidget;

namespace qingheng {

// The "动爻" group of both hexagram dialogs: Chk5 "上爻" … Chk0 "初爻", all clear.
QGroupBox* createMovingLineBoxes(QWidget* parent);
// The "布卦" (Btnok, default) and "取消" (Btncan, rejects) buttons of both hexagram dialogs.
struct CastButtons {
    QPushButton* ok;
    QPushButton* cancel;
};
CastButtons createCastButtons(QDialog* dialog);
// The ticked boxes of such a group.
MovingLines tickedMovingLines(const QGroupBox* group);

class TFrmGName : public QDialog {
    Q_OBJECT
public:
    explicit TFrmGName(QWidget* parent = nullptr);

    const std::string& mainCode() const { return result_.mainCode; }
    const std::string& changedCode() const { return result_.changedCode; }
    const CastResult& castResult() const { return result_; }

private slots:
    void BtnokClick();

private:
    QTableWidget* grid_ = nullptr;
    QGroupBox* moving_ = nullptr;
    CastResult result_;
};

}  // namespace qingheng
