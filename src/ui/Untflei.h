#pragma once
// The category dialog asked when a new case is saved ("分类保存"), and the small helpers
// the case book dialogs share: the category list, blank trimming, memo limits and the
// check of a text against its record field.
#include <QDialog>
#include <QString>

#include "casebook/CaseRecord.h"
#include "platform/Settings.h"

class QComboBox;
class QPlainTextEdit;

namespace qingheng {

// Trims characters up to the blank at both ends (tabs, line breaks, spaces), as typed
// text is trimmed everywhere in the case book; full-width spaces stay.
QString trimBlanks(const QString& text);

// Fills a drop-down with the category list of dat/lyinit.ini, read now.
void fillCategories(QComboBox* box, MissingCategory missing);

// Keeps a memo to at most maxChars characters as the user types or pastes.
void limitMemoLength(QPlainTextEdit* memo, int maxChars);

// Memo text (line feeds) to the stored form (carriage return and line feed) and back.
std::string memoToStored(const QString& text);
QString storedToMemo(const std::string& text);

// Shows why a text does not fit its record field ("错误", stop icon); true when it fits.
bool acceptCaseText(QWidget* parent, CaseField field, const QString& text);

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
    QComboBox* CboFenLei;
    QPlainTextEdit* Memo1;
    QString category_;
    QString extra_;
};

}  // namespace qingheng
