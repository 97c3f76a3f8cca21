#pragma once
// The chart options dialog ("排盘设置"), kept in dat/set.ini.
#include <QDialog>

class QButtonGroup;
class QCheckBox;
class QGroupBox;

namespace qingheng {

class TFrmSet : public QDialog {
    Q_OBJECT
public:
    explicit TFrmSet(QWidget* parent = nullptr);

private slots:
    void BtnokClick();

private:
    QGroupBox* makeGroup(const char* name, const QString& title, const QStringList& items, QButtonGroup*& group);

    QGroupBox* GrpQianGua;
    QGroupBox* GrpTimeGua;
    QButtonGroup* qianGuaItems;
    QButtonGroup* timeGuaItems;
    QCheckBox* ChkNaGan;
};

}  // namespace qingheng
