#pragma once
// TFrmTime "起卦时间": sets the casting time of the next chart. It only edits the record;
// dating it is the chart engine's work.
#include <QDialog>

#include "calendar/Yidate.h"

class QCheckBox;
class QComboBox;
class QLineEdit;
class QRadioButton;
class QSpinBox;

namespace qingheng {

class TFrmTime : public QDialog {
    Q_OBJECT
public:
    // time is written only when the dialog closes with OK.
    TFrmTime(CastingTime& time, QWidget* parent = nullptr);

    void SpeedButton1Click();  // 现在时间
    void BtnokClick();         // 确定

private:
    void placeAtCentreOf(QWidget* owner);
    void loadFrom(const CastingTime& time);

    CastingTime& time_;
    QRadioButton* Rdogl_;
    QRadioButton* Rdonl_;
    QCheckBox* Chkrun_;
    QLineEdit* Edtyear_;
    QSpinBox* Updyear_;
    QComboBox* cbom_;
    QComboBox* cbod_;
    QComboBox* cbos_;
    QComboBox* cbomin_;
};

}  // namespace qingheng
