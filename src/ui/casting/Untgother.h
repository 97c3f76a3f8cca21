#pragma once
// TFrmGuaOther "其它起卦法": the upper and the lower trigram picked from two lists, with the
// moving lines ticked below. Accepted only through "布卦".
#include <QDialog>

#include "casting/Casting.h"

class QGroupBox;
class QListWidget;

namespace qingheng {

class TFrmGuaOther : public QDialog {
    Q_OBJECT
public:
    explicit TFrmGuaOther(QWidget* parent = nullptr);

    bool accepted() const { return accepted_; }
    const std::string& mainCode() const { return result_.mainCode; }
    const std::string& changedCode() const { return result_.changedCode; }
    const CastResult& castResult() const { return result_; }

private slots:
    void BtnokClick();

private:
    QListWidget* upper_ = nullptr;
    QListWidget* lower_ = nullptr;
    QGroupBox* moving_ = nullptr;
    bool accepted_ = false;
    CastResult result_;
};

}  // namespace qingheng
