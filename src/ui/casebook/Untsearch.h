#pragma once
// "查找卦例": edits the main window's kept search criteria, runs the search in the case
// book and hands the matching ids back; and the plain "list every case" search.
#include <QDialog>

#include <cstdint>
#include <optional>
#include <vector>

#include "casebook/Database.h"

class QCheckBox;
class QComboBox;
class QLineEdit;
class QProgressBar;
class QPushButton;

namespace qingheng {

class TFrmSearch : public QDialog {
    Q_OBJECT
public:
    // The query belongs to the caller and outlives the dialog; it changes only when a
    // search is run with acceptable input.
    TFrmSearch(MDataBase& store, CaseQuery& query, QWidget* parent = nullptr);

    // Matching ids in ascending order; read after the dialog closed with OK.
    const std::vector<std::uint32_t>& resultIds() const { return resultIds_; }

private slots:
    void BtoAllClick();
    void BtnSearchClick();

private:
    void buildControls();
    void showQuery();
    bool readYears();
    // The hexagram number of the 卦名 field (0 when empty); nullopt after telling the user
    // that the name is not one of the 64.
    std::optional<int> readHexagram();
    void copyTextsIntoQuery();
    bool runSearch();
    void setBusy(bool busy);

    MDataBase& store_;
    CaseQuery& query_;
    std::vector<std::uint32_t> resultIds_;

    QLineEdit* Edtname;
    QCheckBox* ChkName;
    QComboBox* CboFenLei;
    QCheckBox* ChkClass;
    QLineEdit* LedtEvent;
    QCheckBox* ChkEvent;
    QComboBox* CboGuaMing;
    QLineEdit* LedtY1;
    QLineEdit* LedtY2;
    QPushButton* BtoAll;
    QPushButton* BtnSearch;
    QPushButton* BtoCancel;
    QProgressBar* Animate1;
};

// Every live case of the store for the case list, or nullopt after telling the user why
// there is nothing to list (an empty store, only deleted cases, or a failure).
std::optional<std::vector<std::uint32_t>> searchAllCases(QWidget* parent, MDataBase& store);

}  // namespace qingheng
