#pragma once
// The category dialog asked when a new case is saved ("分类保存"), and the category list
// the case book dialogs share.
#include <QDialog>
#include <QString>

#include "casebook/CaseRecord.h"
#include "platform/Settings.h"
#include "ui/common/Unttext.h"

class QComboBox;
class QPlainTextEdit;

namespace qingheng {

// Fills a drop-down with the category list of dat/lyinit.ini, read now.
void fillCategories(QComboBox* box, MissingCategory missing);

class TFrmFenLei : public QDialog {
    Q_OBJECT
public:
    explicit TFrmFenLei(QWidget* parent = nullptr);

    // Valid after the dialog closed with OK.
    const QString& category() const { return category_; }
    const QString& extra() const { return extra_; }
    // Copies the category and the extra text into the record's fields.
    void applyTo(CaseRecord& record) const;

private slots:
    void BtnokClick();

private:
    void addToCategoryList(const QString& category);

    QComboBox* CboFenLei;
    QPlainTextEdit* Memo1;
    QString category_;
    QString extra_;
};

}  // namespace qingheng
