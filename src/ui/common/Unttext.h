#pragma once
// Small text helpers every window shares: UTF-8 to QString, blank trimming, memo limits,
// the stored line-break form of memo text and the check of a text against its case field.
#include <QString>

#include <string>
#include <string_view>

#include "casebook/CaseRecord.h"

class QLineEdit;
class QPlainTextEdit;
class QWidget;

namespace qingheng {

inline QString qstr(std::string_view s) { return QString::fromUtf8(s.data(), static_cast<int>(s.size())); }

// Trims characters up to the blank at both ends (tabs, line breaks, spaces), as typed
// text is trimmed everywhere in the case book; full-width spaces stay.
QString trimBlanks(const QString& text);

// Keeps a memo to at most maxChars characters as the user types or pastes.
void limitMemoLength(QPlainTextEdit* memo, int maxChars);

// Keeps an edit to at most maxBytes GBK bytes as the user types or pastes (two bytes a
// Chinese character): what does not fit is not taken, cut only between characters.
void limitEditBytes(QLineEdit* edit, int maxBytes);
// The same for a memo, counting each line break as the two bytes it is stored as.
void limitMemoBytes(QPlainTextEdit* memo, int maxBytes);

// Memo text (line feeds) to the stored form (carriage return and line feed) and back.
std::string memoToStored(const QString& text);
QString storedToMemo(const std::string& text);

// Shows why a text does not fit its record field ("错误", stop icon); true when it fits.
bool acceptCaseText(QWidget* parent, CaseField field, const QString& text);

}  // namespace qingheng
