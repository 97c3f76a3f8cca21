#pragma once
// The details dialog ("卦例信息"): edits every descriptive field of a stored case on a copy
// of its record; the caller writes the copy back when the dialog closes with OK.
#include <QDialog>

#include "casebook/CaseRecord.h"

class QCheckBox;
class QComboBox;
class QLineEdit;
class QPlainTextEdit;
class QRadioButton;
class QSpinBox;

namespace qingheng {

class TFrmInfo : public QDialog {
    Q_OBJECT
public:
    explicit TFrmInfo(const CaseRecord& record, QWidget* parent = nullptr);

    const CaseRecord& record() const { return record_; }

private slots:
    void BtnsaveClick();
    void UpDyearClick(int position);

private:
    void buildControls();
    void showRecord();

    CaseRecord record_;
    QLineEdit* Edtname;
    QLineEdit* EdtYear;
    QSpinBox* UpDyear;
    QComboBox* cbom;
    QComboBox* cbod;
    QComboBox* cbos;
    QComboBox* cbomin;
    QRadioButton* Rdogl;
    QRadioButton* Rdonl;
    QCheckBox* Chkrun;
    QComboBox* CboFenLei;
    QComboBox* CboEvent;
    QComboBox* lstqu;
    QPlainTextEdit* Memo1;
};

}  // namespace qingheng
